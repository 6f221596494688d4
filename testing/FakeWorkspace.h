#pragma once
// The workspace of the fake desktop: running applications and the frontmost one come from the
// FakeDesktop; requests are recorded in FakeEffects and applied to the model (activation makes an
// application frontmost, hide hides it, terminate quits it unless it refuses).
//
// Opening an application at a path launches the installed bundle registered there (or brings the
// running instance with that bundle path forward); its completion arrives on a background queue
// of the fake dispatch. `failOpen(path, error)` makes that open fail.

#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/Dispatch.h"
#include "platform/Workspace.h"
#include "testing/FakeAppBundles.h"
#include "testing/FakeDesktop.h"

namespace vantlo {

class FakeWorkspace : public Workspace {
  public:
    FakeWorkspace(FakeDesktop& desktop, FakeAppBundles& bundles, Dispatch& dispatch);

    std::vector<RunningApplication> runningApplications() override;
    std::optional<RunningApplication> runningApplication(Pid pid) override;
    std::optional<RunningApplication> frontmostApplication() override;
    void openApplication(const std::string& path, bool activates,
                         OpenCompletion completion) override;
    bool open(const std::string& urlOrPath) override;
    bool activate(Pid pid, unsigned activationOptions) override;
    bool hide(Pid pid) override;
    bool terminate(Pid pid) override;
    bool forceTerminate(Pid pid) override;
    ImageRef iconForFile(const std::string& path) override;

    void failOpen(const std::string& path, std::string error);
    // `open` of this address or path answers false.
    void refuseOpen(const std::string& urlOrPath);
    void setFileIcon(const std::string& path, ImageRef icon);

  private:
    FakeApp* listedApp(Pid pid);
    FakeApp* launch(const std::string& path);

    FakeDesktop& desktop_;
    FakeAppBundles& bundles_;
    Dispatch& dispatch_;
    std::map<std::string, std::string> openFailures_;
    std::set<std::string> refusedOpens_;
    std::map<std::string, ImageRef> fileIcons_;
};

}  // namespace vantlo
