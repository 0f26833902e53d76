// Program entry while the main window is not part of the program: prepares the language and the
// data folder, opens the keyboards of the device table, runs the worker and its task queue, and
// ends in order on SIGINT or SIGTERM.
#include <string>

#include "app/ConsoleDevices.h"
#include "app/ConsoleHost.h"
#include "app/ProgramServices.h"
#include "app/TaskWorker.h"
#include "docs/LangSettings.h"
#include "platform/TerminationSignals.h"
#include "tavex/Version.h"

int main() {
  Report(std::string("UI library ") + tavex::Version());

  const int language = ChooseStartupLanguage();
  Report("language " + std::to_string(language) + ", texts from " + GetProgramFolder() +
         "language/" + std::to_string(language) + ".lan");

  const std::string dataFolder = GetDataFolder() + "db";
  Report("data folder " + dataFolder +
         (CreateFolderPath(dataFolder) ? "" : " (could not be created, going on)"));

  // Before any thread starts, so that the signals reach only the wait below.
  platform::TerminationSignals signals;

  // The store, the device list and the command sender exist once and are handed down from here.
  ProgramServices services;
  const std::string tablePath = GetProgramFolder() + "config.xml";
  ConsoleDevices devices(services.Devices(), ConsoleDevices::ReadDeviceTable(tablePath));
  Report("device table " + tablePath + ": " + std::to_string(devices.Table().size()) +
         " models");
  devices.StartEventReaders();

  ConsoleHost host([&devices] { return devices.Refresh(); });
  TaskDispatcher dispatcher(host);
  TaskWorker worker(dispatcher);
  worker.StartWorker();
  Report("worker started, pause " + std::to_string(worker.Pause()) + " ms");
  dispatcher.QueueTask(kTaskFirstRefresh);

  Report("running; stop with Ctrl+C or SIGTERM");
  Report(std::string(signals.Wait()) + " received, stopping");

  Report(worker.StopWorker() ? "worker stopped"
                             : "worker still finishing its task after 1000 ms, going on");
  devices.StopEventReaders();
  Report("event readers stopped");
  return 0;
}
