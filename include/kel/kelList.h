// Intrusive doubly linked lists. Lists never own their items.
#ifndef KEL_LIST_H
#define KEL_LIST_H

#include <stddef.h>

#include <kel/kelError.h>
#include <kel/kelExport.h>

class KEL_API kelListItem {
public:
    kelListItem() : next(nullptr), prev(nullptr) {}
    ~kelListItem() { KEL_ASSERT(next == prev && (next == NULL || next == this)); }
    kelListItem(const kelListItem&) = delete;
    kelListItem& operator=(const kelListItem&) = delete;

    // Links the item to itself, as the head of an empty list.
    void initLinks() { next = prev = this; }
    bool isLinked() const { return next != nullptr && prev != nullptr; }
    void unlink()
    {
        KEL_ASSERT(isLinked());
        next->prev = prev;
        prev->next = next;
        next = prev = nullptr;
    }
    // Links `item` in front of this one.
    void linkBefore(kelListItem* item)
    {
        item->next = this;
        item->prev = prev;
        prev->next = item;
        prev = item;
    }

    kelListItem* next;
    kelListItem* prev;
};

// A circular list headed by `hd`; L is the link base of T that this list uses,
// so one item can sit in several lists through different link bases.
template <class T, class L = kelListItem>
class kelMultiList {
public:
    kelMultiList() { hd.initLinks(); }
    ~kelMultiList() = default;
    kelMultiList(const kelMultiList&) = delete;
    kelMultiList& operator=(const kelMultiList&) = delete;

    void append(T* it)
    {
        L* item = link(it);
        KEL_ASSERT(!item->isLinked());
        hd.linkBefore(item);
    }
    void insert(T* it)
    {
        L* item = link(it);
        KEL_ASSERT(!item->isLinked());
        hd.next->linkBefore(item);
    }
    // `pos` must be an item of this list.
    void insertAfter(T* pos, T* it)
    {
        L* item = link(it);
        L* at = link(pos);
        KEL_ASSERT(!item->isLinked() && at->isLinked());
        at->next->linkBefore(item);
    }
    void insertBefore(T* pos, T* it)
    {
        L* item = link(it);
        L* at = link(pos);
        KEL_ASSERT(!item->isLinked() && at->isLinked());
        at->linkBefore(item);
    }
    void unlink(T* it)
    {
        L* item = link(it);
        KEL_ASSERT(item->isLinked());
        item->unlink();
    }

    bool isEmpty() const { return hd.next == &hd; }
    T* head() const { return item(hd.next); }
    T* tail() const { return item(hd.prev); }
    T* getNext(T* it) const { return item(link(it)->next); }
    T* getPrev(T* it) const { return item(link(it)->prev); }

    // Moves the run first..last (in that list's order) out of whatever list
    // holds it, to the end (append) or the front (insert) of this one.
    void appendSubList(T* first, T* last) { spliceBefore(&hd, first, last); }
    void insertSubList(T* first, T* last) { spliceBefore(hd.next, first, last); }
    // Moves every item of `other` to the end or the front of this list.
    void appendList(kelMultiList& other)
    {
        if (!other.isEmpty())
            appendSubList(other.head(), other.tail());
    }
    void insertList(kelMultiList& other)
    {
        if (!other.isEmpty())
            insertSubList(other.head(), other.tail());
    }
    // Unlinks every item; the items themselves are not touched otherwise.
    void clear()
    {
        while (!isEmpty())
            hd.next->unlink();
    }

private:
    static L* link(T* it) { return static_cast<L*>(it); }
    T* item(kelListItem* l) const { return l == &hd ? nullptr : static_cast<T*>(static_cast<L*>(l)); }
    void spliceBefore(kelListItem* pos, T* first, T* last)
    {
        kelListItem* f = link(first);
        kelListItem* l = link(last);
        KEL_ASSERT(f->isLinked() && l->isLinked());
        if (pos == f) // the run already stands there; relinking would cut it loose
            return;
        f->prev->next = l->next;
        l->next->prev = f->prev;
        f->prev = pos->prev;
        l->next = pos;
        pos->prev->next = f;
        pos->prev = l;
    }

    L hd;
};

template <class T>
class kelList : public kelMultiList<T, kelListItem> {
};

template <class T, class L = kelListItem>
class kelMultiListIter {
public:
    explicit kelMultiListIter(const kelMultiList<T, L>& list) : head(list) { reset(); }

    // The following item, or null at the end. The item after it is taken
    // first, so the returned item may be unlinked before the next call.
    T* next()
    {
        cur = succ;
        if (cur)
            succ = head.getNext(cur);
        return cur;
    }
    T* curr() const { return cur; }
    void reset()
    {
        succ = head.head();
        cur = nullptr;
    }

protected:
    const kelMultiList<T, L>& head;
    T* succ;
    T* cur;
};

template <class T>
class kelListIter : public kelMultiListIter<T, kelListItem> {
public:
    explicit kelListIter(const kelList<T>& list) : kelMultiListIter<T, kelListItem>(list) {}
};

// One file-name suffix of a format; owns its text.
class KEL_API kelSuffixItem : public kelListItem {
public:
    explicit kelSuffixItem(const char* s);
    ~kelSuffixItem();

    char* suffix;
};

#endif
