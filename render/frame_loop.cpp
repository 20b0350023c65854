#include "render/frame_loop.h"

#include <cstdio>
#include <cstring>

#include "base/view_mode.h"
#include "game/item_list.h"
#include "game/message.h"
#include "platform/draw_context.h"
#include "render/floaters.h"
#include "render/layers.h"
#include "render/startup.h"
#include "surface/back_buffer.h"
#include "surface/surface.h"

char fpsText[16];

namespace {

int BeginStep(void* loop) { return RenderLoopBegin(static_cast<RenderLoop*>(loop)); }
int FrameStep(void* loop) { return RenderLoopFrame(static_cast<RenderLoop*>(loop)); }

}  // namespace

int RenderLoopBegin(RenderLoop* loop) {
    AppState* state = loop->state;
    fpsText[0] = '\0';
    loop->framesInPeriod = 0;
    loop->periodStart = platform::WindowTicks(state->hwnd);
    return state->tick(state);
}

int RenderLoopFrame(RenderLoop* loop) {
    AppState* state = loop->state;
    Surface* target = state->target;
    if (!state->listActive) {
        DrawLayer(state, 0);
        DrawLayer(state, 1);
        DrawSprites(state);
    }
    SurfaceBlit(target, 0, 0, 384, 256, state->imgOverlay, 0, 0, OVERLAY_KEY);

    // The period ends on the first frame that finds more than 1000 ms gone;
    // the unsigned difference survives the tick count's wrap.
    const uint32_t now = platform::WindowTicks(state->hwnd);
    if (now - loop->periodStart > 1000) {
        std::snprintf(fpsText, sizeof fpsText, "%dfps", loop->framesInPeriod);
        loop->framesInPeriod = 0;
        loop->periodStart = now;
    }
    platform::DrawContextTextOut(state->hdcMem, FPS_TEXT_X, FPS_TEXT_Y, fpsText,
                                 static_cast<int>(strnlen(fpsText, sizeof fpsText)));
    loop->framesInPeriod += 1;

    FloatersDraw(state);
    if (state->listActive) {
        ItemListDraw(state);
    }
    if (state->messageState != MESSAGE_CLOSED) {
        MessageDraw(state);
    }

    if (loop->colouredPalette != state->hpalette || loop->colours.serial == 0) {
        platform::FrameColoursBuild(&loop->colours, SurfaceIndexTable(target), state->hpalette);
        loop->colouredPalette = state->hpalette;
    }
    platform::WindowPresent(state->hwnd, target->pixels, SurfaceStride(target), state->viewWidth,
                            state->viewHeight, &loop->colours, WindowWidth(state),
                            WindowHeight(state));
    state->frameCount += 1;
    BackBufferClear(state);
    return state->tick(state);
}

platform::RenderProcedure RenderThreadProc(RenderLoop* loop) {
    return platform::RenderProcedure{BeginStep, FrameStep, loop};
}
