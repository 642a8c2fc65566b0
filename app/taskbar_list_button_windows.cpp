#include "app/taskbar_list_button_windows.h"

#include <shobjidl.h>

namespace velmora {

namespace {

TBPFLAG systemState(TaskbarState state) {
    switch (state) {
    case TaskbarState::Normal:
        return TBPF_NORMAL;
    case TaskbarState::Error:
        return TBPF_ERROR;
    case TaskbarState::None:
        break;
    }
    return TBPF_NOPROGRESS;
}

} // namespace

void TaskbarListButton::Releaser::operator()(ITaskbarList3* list) const {
    list->Release();
}

TaskbarListButton::TaskbarListButton(std::function<HWND()> window) : m_window(std::move(window)) {}

TaskbarListButton::~TaskbarListButton() {
    m_taskbar.reset();
    if (m_comStarted) {
        ::CoUninitialize();
    }
}

ITaskbarList3* TaskbarListButton::taskbar() {
    if (m_tried) {
        return m_taskbar.get();
    }
    m_tried = true;
    // Qt's windows platform has started COM on the window's thread already;
    // this only counts one more use of it (or starts it, in a test).
    const HRESULT started = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    m_comStarted = SUCCEEDED(started);
    ITaskbarList3* list = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_ITaskbarList3, reinterpret_cast<void**>(&list)))) {
        m_taskbar.reset(list);
        if (FAILED(list->HrInit())) {
            m_taskbar.reset();
        }
    }
    return m_taskbar.get();
}

bool TaskbarListButton::setProgressValue(quint64 completed, quint64 total) {
    ITaskbarList3* list = taskbar();
    const HWND window = m_window();
    return list != nullptr && window != nullptr &&
           SUCCEEDED(list->SetProgressValue(window, completed, total));
}

bool TaskbarListButton::setProgressState(TaskbarState state) {
    ITaskbarList3* list = taskbar();
    const HWND window = m_window();
    return list != nullptr && window != nullptr &&
           SUCCEEDED(list->SetProgressState(window, systemState(state)));
}

} // namespace velmora
