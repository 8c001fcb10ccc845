#include "app/frame.h"

namespace miravue {
namespace {

// Runs the release routine once, whichever way the frame is left.
class ReleaseOnExit {
  public:
    explicit ReleaseOnExit(void (*release)()) : release_(release) {}
    ReleaseOnExit(const ReleaseOnExit&) = delete;
    ReleaseOnExit& operator=(const ReleaseOnExit&) = delete;
    ~ReleaseOnExit() {
        if (release_ != nullptr) {
            release_();
        }
    }

  private:
    void (*release_)();
};

}  // namespace

int RunFrame(const platform::WindowDescription& description, const FrameRoutines& routines) {
    if (routines.createGlobals != nullptr) {
        routines.createGlobals();
    }
    const ReleaseOnExit release(routines.releaseGlobals);
    if (!platform::CreateMainWindow(description, routines.windowEvents)) {
        platform::ShowErrorMessage(
            "Miravue cannot create its main window (no display, or no web engine).");
        return 1;
    }
    platform::RunMessageLoop();
    return 0;
}

}  // namespace miravue
