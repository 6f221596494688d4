#include "app/DiagnosticsCommand.h"

#include <ostream>

#include "app/FeedbackSupport.h"
#include "app/HeadlessPlatform.h"

namespace vantlo {

int DiagnosticsCommand::run(const std::vector<std::string>& arguments,
                            const DisplayServices& addDisplayServices, std::ostream& out,
                            std::ostream& err) {
    if (!arguments.empty()) {
        err << "vantlo: --diagnostics takes no arguments\n"
            << "Try 'vantlo --help' for more information.\n";
        return 2;
    }
    auto services = HeadlessPlatform::create();
    if (addDisplayServices)
        addDisplayServices(*services);
    installPlatform(services);
    out << FeedbackSupport::diagnosticsText() << '\n';
    out.flush();
    installPlatform(nullptr);
    return 0;
}

}  // namespace vantlo
