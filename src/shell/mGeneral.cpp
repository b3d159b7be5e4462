#include "shell/mGeneral.h"

#include <cctype>

#include "platform/paths.h"
#include "platform/system.h"

namespace mGeneral {

ErrorRecord ShellError(std::intptr_t value) {
  ErrorRecord e;
  e.source = platform::ProgramFileName() + ".GShell";
  e.number = static_cast<std::int32_t>(static_cast<std::int64_t>(value) - 2147220456LL);
  switch (value) {
    case 0:
    case 8: e.number = 7; e.description = "Out of memory"; break;
    case 2: e.number = 53; e.description = "File not found"; break;
    case 3: e.number = 76; e.description = "Path not found"; break;
    case 5: e.number = 75; e.description = "Path/file access error"; break;
    case 11: e.description = "The executable file is invalid or corrupt"; break;
    case 26: e.number = 75; e.description = "A sharing violation occurred."; break;
    case 27: e.description = "This file type does not have a valid file association."; break;
    case 28:
      e.number = 286;
      e.description = "The file could not be opened due to time out. Please try again in a moment.";
      break;
    case 29:
      e.number = 285;
      e.description =
          "The file could not be opened because the DDE transaction failed. Please try again in a moment.";
      break;
    case 30:
      e.number = 285;
      e.description =
          "The file could not be opened because the target application is busy. Please try again in a moment.";
      break;
    case 31: e.description = "No application is associated with this file type."; break;
    case 32: e.number = 48; e.description = "The specified dynamic-link library was not found."; break;
    default:
      e.description = "An error occurred occurred whilst trying to open or print the selected file.";
  }
  return e;
}

bool ShellOpen(const std::string& file, std::int32_t show, const std::string& parameters,
               const std::string& folder, std::string& verb, void*& owner, ErrorRecord* error) {
  std::string upper = file;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (upper.find(".EXE") != std::string::npos) show = platform::kSwHide;

  std::intptr_t r = (!parameters.empty() || !folder.empty())
                        ? platform::ShellRun(owner, verb, file, parameters, folder, show)
                        : platform::ShellRun(owner, verb, file, "", "", platform::kSwShowNormal);
  if (r > 32) return true;
  if (error) *error = ShellError(r);
  return false;
}

}  // namespace mGeneral
