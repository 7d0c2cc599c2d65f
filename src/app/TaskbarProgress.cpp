#include "app/TaskbarProgress.h"

namespace vt {

TaskbarProgress::~TaskbarProgress() {
    if (list_) list_->Release();
    if (comStarted_) CoUninitialize();
}

bool TaskbarProgress::Connect() {
    if (tried_) return list_ != nullptr;
    tried_ = true;
    if (!comStarted_) comStarted_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    void* list = nullptr;
    if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3, &list))) return false;
    list_ = static_cast<ITaskbarList3*>(list);
    if (FAILED(list_->HrInit())) {
        list_->Release();
        list_ = nullptr;
    }
    return list_ != nullptr;
}

void TaskbarProgress::Set(State state) {
    state_ = state;
    Apply();
}

void TaskbarProgress::ButtonCreated() {
    // Before the button existed the interface may have refused to start: it is asked again.
    if (!list_) tried_ = false;
    if (state_ != None) Apply();
}

void TaskbarProgress::Apply() {
    if (!window_ || !Connect()) return;
    switch (state_) {
        case None: list_->SetProgressState(window_, TBPF_NOPROGRESS); break;
        case Busy: list_->SetProgressState(window_, TBPF_INDETERMINATE); break;
        case Failed:
            // The error state colours the part of the bar that is done: all of it.
            list_->SetProgressValue(window_, 1, 1);
            list_->SetProgressState(window_, TBPF_ERROR);
            break;
    }
}

}  // namespace vt
