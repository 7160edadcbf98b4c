#include "errors.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>

#include <vector>

#include <kel/kelErrorHandler.h>

namespace py = pybind11;

namespace {

struct Message {
    int severity;
    std::string text;
};

thread_local std::vector<Message> collected;
// A thread that never calls through the binding (a plug-in's worker, an
// embedding program's own) keeps no more than this.
const size_t maxCollected = 64;

// Informational messages stay out unless KEL_DEBUG asks for them.
void collect(void*, int flags, const char* fmt, va_list args)
{
    int severity = flags & 0xff;
    if ((severity == kelSeverityInfo && !getenv("KEL_DEBUG")) || collected.size() >= maxCollected)
        return;
    char buf[1024];
    vsnprintf(buf, sizeof buf, fmt, args);
    collected.push_back({severity, buf});
}

std::string statusText(kelStatus sts)
{
    char buf[256];
    return kelStatusToString(sts, buf, sizeof buf);
}

// kel._errors builds the exception of a status; it is imported when a call
// fails, not at start, so that the module loads without the package.
void translate(std::exception_ptr p)
{
    try {
        std::rethrow_exception(p);
    } catch (const kelPyFailure& f) {
        py::object exc = py::module_::import("kel._errors").attr("from_status")(f.status, f.text);
        PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(exc.ptr())), exc.ptr());
    }
}

} // namespace

kelPyMessages::kelPyMessages()
{
    collected.clear();
}

std::string kelPyMessages::take()
{
    std::string text;
    for (const Message& m : collected)
        text += (text.empty() ? "" : "; ") + m.text;
    collected.clear();
    return text;
}

bool kelPyMessages::any()
{
    return !collected.empty();
}

void kelPyMessages::check(kelStatus sts, const std::string& what)
{
    if (sts != kelOKAY) {
        std::string detail = take();
        throw kelPyFailure{sts, what + ": " + statusText(sts) + (detail.empty() ? "" : " (" + detail + ")")};
    }
    std::vector<Message> messages;
    messages.swap(collected);
    if (messages.empty())
        return;
    py::object category = py::module_::import("kel._errors").attr("KelWarning");
    for (const Message& m : messages)
        if (PyErr_WarnEx(category.ptr(), (what + ": " + m.text).c_str(), 2) < 0)
            throw py::error_already_set();
}

void kelPyInstallErrors(py::module_&)
{
    kelSetErrorHandler(collect, nullptr);
    py::register_exception_translator(translate);
}
