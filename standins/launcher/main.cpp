// standin-launcher.exe: runs the exporter the way a run against the Outlook
// stand-in needs it.
//
//   standin-launcher.exe <exporter.exe> [argument...]
//       Sets the Office registry keys the profile (OUTLOOK_STANDIN_PROFILE)
//       asks for, runs the exporter with the profile's environment added and
//       the launcher's standard handles, restores the default Office keys
//       afterwards, and exits with the exporter's exit code. With "server":
//       "local", Outlook.Application resolves to the local server for the
//       run, and the run lasts until that server has ended too. With
//       STANDIN_MEMORY_REPORT naming a file, the exporter's peak memory is
//       written there (see PeakMemory.h).
//   standin-launcher.exe --prepare-prefix <outlook-standin.dll>
//       Registers the Outlook stand-in and writes the default Office keys.
//
// The launcher prints nothing of its own unless it fails; then it writes a
// "standin-launcher:" message to stderr and exits with 125.

#include "ChildEnvironment.h"
#include "ComRegistration.h"
#include "Environment.h"
#include "Launch.h"
#include "LaunchProfile.h"
#include "LauncherError.h"
#include "OfficeRegistry.h"
#include "Utf.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace standin::launcher {
namespace {

constexpr int launcherFailure = 125;

unsigned long runWithOfficeRegistry(const LaunchProfile& profile, const std::wstring& exporter,
                                    const std::vector<std::wstring>& arguments, std::vector<wchar_t> environment,
                                    const RunOptions& options) {
    if (!profile.registry) return runProgram(exporter, arguments, std::move(environment), options);
    // The default Office keys come back however the run ends.
    unsigned long exitCode = 0;
    try {
        writeOfficeRegistry(*profile.registry);
        exitCode = runProgram(exporter, arguments, std::move(environment), options);
    } catch (...) {
        try {
            writeDefaultOfficeRegistry();
        } catch (const std::exception&) {
            // The first failure is the one to report.
        }
        throw;
    }
    writeDefaultOfficeRegistry();
    return exitCode;
}

unsigned long runExporter(const std::wstring& exporter, const std::vector<std::wstring>& arguments) {
    const LaunchProfile profile = readLaunchProfile();
    std::vector<wchar_t> environment = buildChildEnvironment(profile.environment);
    const std::optional<std::wstring> memoryReport = environmentVariable(L"STANDIN_MEMORY_REPORT");
    PeakMemory peak;
    RunOptions options;
    if (profile.localServer) options.alsoWaitFor = L"outlook-standin-server.exe";
    options.peakMemory = memoryReport ? &peak : nullptr;

    std::optional<LocalServerRegistration> localServer;
    if (profile.localServer) localServer.emplace();
    const unsigned long exitCode = runWithOfficeRegistry(profile, exporter, arguments, std::move(environment), options);
    if (memoryReport) writeMemoryReport(*memoryReport, peak);
    return exitCode;
}

// The launcher's two commands, from the arguments after its own name.
int launch(const std::vector<std::wstring>& arguments) {
    try {
        if (arguments.empty()) throw LauncherError("usage: standin-launcher.exe <exporter.exe> [argument...]");
        if (arguments[0] == L"--prepare-prefix") {
            if (arguments.size() != 2) {
                throw LauncherError("usage: standin-launcher.exe --prepare-prefix <outlook-standin.dll>");
            }
            registerOutlookStandin(arguments[1]);
            writeDefaultOfficeRegistry();
            return 0;
        }
        return static_cast<int>(runExporter(arguments[0], {arguments.begin() + 1, arguments.end()}));
    } catch (const std::exception& error) {
        reportFailure(error.what());
        return launcherFailure;
    }
}

}  // namespace
}  // namespace standin::launcher

int wmain(int argc, wchar_t** argv) { return standin::launcher::launch({argv + 1, argv + argc}); }
