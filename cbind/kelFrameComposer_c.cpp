// Frames of an animation as shown.
#include <kel/ckel.h>
#include <kel/kelFrameComposer.h>

#include "ckelNew.h"

kelFrameComposer* kelFrameComposerCreate(kelFile* file)
{
    return file ? ckelNew<kelFrameComposer>(*file) : nullptr;
}

void kelFrameComposerDelete(kelFrameComposer* _x)
{
    delete _x;
}

kelStatus kelFrameComposerInit(kelFrameComposer* _x)
{
    return _x->init();
}

int kelFrameComposerGetNumFrames(kelFrameComposer* _x)
{
    return _x->getNumFrames();
}

int kelFrameComposerGetCanvasWidth(kelFrameComposer* _x)
{
    return _x->getCanvasWidth();
}

int kelFrameComposerGetCanvasHeight(kelFrameComposer* _x)
{
    return _x->getCanvasHeight();
}

int kelFrameComposerGetLoopCount(kelFrameComposer* _x)
{
    return _x->getLoopCount();
}

int kelFrameComposerHasTransparency(kelFrameComposer* _x)
{
    return _x->hasTransparency();
}

kelStatus kelFrameComposerGetFrameInfo(kelFrameComposer* _x, int frame, kelFrameInfo* info)
{
    return info ? _x->getFrameInfo(frame, *info) : kelStatus(kelBADPARAMS);
}

kelStatus kelFrameComposerCompose(kelFrameComposer* _x, int frame, unsigned char* rgba)
{
    return _x->compose(frame, rgba);
}
