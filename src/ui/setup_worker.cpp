#include "ui/setup_worker.h"

#include <memory>

#include "sequences/install_sequence.h"
#include "sequences/uninstall_sequence.h"
#include "system/platform/com_apartment.h"
#include "system/platform/unique_handle.h"
#include "ui/setup_window_ids.h"

namespace koravale {
namespace {

template <typename Record>
void post_record(HWND window, UINT message, std::unique_ptr<Record> record) {
    if (PostMessageW(window, message, 0, reinterpret_cast<LPARAM>(record.get()))) record.release();
}

// The window learns when its cancel button may end the wait. Sent, not
// posted: once the wait knows the window has heard that it is over, no
// later cancel can be made, and the event says whether one came first.
// (The window never waits for the worker, so this cannot hang.)
WaitCancellation cancellation_for(HWND window, const UniqueKernelHandle& cancel_event) {
    return WaitCancellation(cancel_event.get(), [window](bool cancellable) {
        SendMessageW(window, WM_SETUP_CANCELLABLE, cancellable ? 1 : 0, 0);
    });
}

WorkerOutcome run_install(const InstallJob& job) {
    WaitCancellation cancellation = cancellation_for(job.window, job.cancel_event);
    const InstallRequest request{.directory = job.directory,
                                 .desktop_shortcut_wanted = job.create_desktop_shortcut,
                                 .launch_after = job.launch_after,
                                 .wait_pid = job.wait_pid,
                                 .chooser = job.chooser,
                                 .cancellation = job.cancel_event ? &cancellation : nullptr};
    const HWND window = job.window;
    // The apartment is left before the outcome goes out: after that post
    // the window may close and the process end at any moment.
    const ComApartment com(COINIT_APARTMENTTHREADED);
    const Status status =
        run_install_sequence(request, [window](std::string_view text) { post_progress(window, text); }, job.log);
    if (cancellation.cancelled()) return {WorkerOutcome::Cancelled{}};
    if (!status) return {WorkerOutcome::Failed{status.error().message}};
    return {WorkerOutcome::Done{}};
}

WorkerOutcome run_uninstall(const UninstallJob& job) {
    WaitCancellation cancellation = cancellation_for(job.window, job.cancel_event);
    const UninstallRequest request{.directory = job.directory,
                                   .purge_data = job.purge_personal_data,
                                   .cancellation = job.cancel_event ? &cancellation : nullptr};
    const HWND window = job.window;
    const ComApartment com(COINIT_APARTMENTTHREADED);
    const Result<UninstallOutcome> outcome =
        run_uninstall_sequence(request, [window](std::string_view text) { post_progress(window, text); }, job.log);
    if (cancellation.cancelled()) return {WorkerOutcome::Cancelled{}};
    if (!outcome) return {WorkerOutcome::Failed{outcome.error().message}};
    if (const UninstallOutcome& pending = *outcome) return {WorkerOutcome::DoneWithSelfRemoval{*pending}};
    return {WorkerOutcome::Done{}};
}

template <typename Job>
DWORD WINAPI worker_main(void* parameter) {
    HWND window = nullptr;
    WorkerOutcome outcome;
    {
        // The job is freed before the outcome goes out: once it is posted
        // the window may close and the process end at any moment.
        const std::unique_ptr<Job> job(static_cast<Job*>(parameter));
        window = job->window;
        if constexpr (std::is_same_v<Job, InstallJob>) {
            outcome = run_install(*job);
        } else {
            outcome = run_uninstall(*job);
        }
    }
    post_outcome(window, std::move(outcome));
    return 0;
}

template <typename Job>
bool start_worker(Job job) {
    auto owned = std::make_unique<Job>(std::move(job));
    const UniqueKernelHandle thread(CreateThread(nullptr, 0, worker_main<Job>, owned.get(), 0, nullptr));
    if (!thread) return false;
    owned.release();  // the thread owns its job now; its handle is not kept
    return true;
}

}  // namespace

void post_progress(HWND window, std::string_view text) {
    post_record(window, WM_SETUP_PROGRESS, std::make_unique<std::string>(text));
}

void post_outcome(HWND window, WorkerOutcome outcome) {
    post_record(window, WM_SETUP_DONE, std::make_unique<WorkerOutcome>(std::move(outcome)));
}

bool start_install_worker(InstallJob job) { return start_worker(std::move(job)); }
bool start_uninstall_worker(UninstallJob job) { return start_worker(std::move(job)); }

}  // namespace koravale
