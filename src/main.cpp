// Entry of the configurator: the application object with its error report, then the main window.
#include <string>
#include <vector>

#include "ui/ConfiguratorForm.h"
#include "ui/LumetraApplication.h"

int main(int argc, char** argv) {
  lumetra::TLumetraApplication app(argc, argv);
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  int result = 1;
  lumetra::TLumetraApplication::Guard([&] {
    lumetra::TConfiguratorForm form(arguments);
    form.show();
    result = app.exec();
  });
  return result;
}
