#include "platform/window_life.h"

#include "platform/mailbox.h"
#include "platform/report.h"

namespace platform {

bool WindowLifeCreate(WindowLife* life, const WindowConfig* config,
                      const WindowServices* services, void* backend) {
    *life = WindowLife{*config, Window{}, nullptr, false};
    FrameMailbox* mailbox = MailboxCreate(config->maxFrameWidth, config->maxFrameHeight);
    if (mailbox == nullptr) {
        ReportFailure("out of memory for the frame mailbox");
        return false;
    }
    life->window = Window{services, mailbox, config->clientWidth, config->clientHeight, backend};
    const WindowEvent create{WindowEventType::Create, 0, 0, 0};
    if (config->procedure(&life->window, &create, config->context) != 0) {
        // The procedure has said why and undone its own start-up.
        return false;
    }
    life->created = true;
    return true;
}

bool WindowLifeStartRenderThread(WindowLife* life) {
    if (life->renderThread == nullptr) {
        life->renderThread = RenderThreadStart(&life->config.render);
        if (life->renderThread == nullptr) {
            ReportFailure("cannot start the render thread");
            return false;
        }
    }
    return true;
}

void WindowLifeSend(WindowLife* life, const WindowEvent& event) {
    life->config.procedure(&life->window, &event, life->config.context);
}

void WindowLifeEnd(WindowLife* life) {
    RenderThreadStop(life->renderThread);
    life->renderThread = nullptr;
    if (life->created) {
        life->created = false;
        WindowLifeSend(life, WindowEvent{WindowEventType::Destroy, 0, 0, 0});
    }
    MailboxDestroy(life->window.mailbox);
    life->window.mailbox = nullptr;
}

}  // namespace platform
