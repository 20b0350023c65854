#include "app/headless.h"

#include "app/view_mode.h"
#include "app/window_proc.h"
#include "platform/clock.h"

bool HeadlessOpen(HeadlessSession* session, AppState* state, uint32_t clockStart) {
    *session = HeadlessSession{};
    session->state = state;
    session->window.mailbox = platform::MailboxCreate(768, 512);
    session->window.clientWidth = WindowWidth(state);
    session->window.clientHeight = WindowHeight(state);
    if (session->window.mailbox == nullptr) {
        return false;
    }
    platform::ClockUseManual(clockStart);
    RenderThreadSetManual(true);
    const platform::WindowEvent create{platform::WindowEventType::Create, 0, 0, 0};
    if (MainWndProc(&session->window, &create, state) != 0) {
        platform::MailboxDestroy(session->window.mailbox);
        session->window.mailbox = nullptr;
        RenderThreadSetManual(false);
        platform::ClockUseSystem();
        return false;
    }
    return true;
}

void HeadlessSend(HeadlessSession* session, const platform::WindowEvent& event) {
    MainWndProc(&session->window, &event, session->state);
}

void HeadlessKey(HeadlessSession* session, int virtualKey, bool down) {
    HeadlessSend(session, {down ? platform::WindowEventType::KeyDown
                                : platform::WindowEventType::KeyUp,
                           virtualKey, 0, 0});
}

void HeadlessClick(HeadlessSession* session, int x, int y) {
    HeadlessSend(session, {platform::WindowEventType::LeftButtonDown, 0, x, y});
}

const platform::Frame* HeadlessFrame(HeadlessSession* session) {
    if (!session->begun) {
        session->begun = true;
        RenderLoopBegin(session->state, &session->loop);
    }
    RenderLoopFrame(session->state, &session->loop);
    return platform::MailboxTakeNewest(session->window.mailbox);
}

void HeadlessClose(HeadlessSession* session) {
    HeadlessSend(session, {platform::WindowEventType::Destroy, 0, 0, 0});
    platform::MailboxDestroy(session->window.mailbox);
    session->window.mailbox = nullptr;
    RenderThreadSetManual(false);
    platform::ClockUseSystem();
}
