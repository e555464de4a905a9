#include "resources/dinstall_strings.h"

namespace vtsetup::resources {
namespace {

constexpr StringEntry kStrings[] = {
    {6000, "Usuwanie gry"},
    {6001,
     "Czy na pewno chcesz usun\xB9\xE6 gr\xEA %s i wszystkie jej sk\xB3"
     "adniki z tego komputera?"},
    {6002,
     "Dziennik instalacji %s jest uszkodzony. Mo\xBFna usun\xB9\xE6 tylko to, co wymienia jego nieuszkodzona "
     "cz\xEA\x9C\xE6.\r\nCzy chcesz to usun\xB9\xE6?"},
    {6003, "Nie mo\xBFna odczyta\xE6 dziennika instalacji %s. Gra nie zostanie usuni\xEAta."},
    {6004,
     "Gra %s zosta\xB3"
     "a usuni\xEAta z tego komputera."},
    {6005,
     "Gra %s zosta\xB3"
     "a usuni\xEAta, ale nie wszystko uda\xB3o si\xEA usun\xB9\xE6. Pozosta\xB3o:\r\n%s"},
    {6006, "%s (plik jest u\xBFywany)"},
    {6007, "%s (folder nie jest pusty)"},
    {6008, "%s (pomini\xEAto: poza folderem gry)"},
    {6009,
     "%s (b\xB3\xB9"
     "d %u)"},
    {6010, "i %u innych"},
};

}  // namespace

std::span<const StringEntry> DinstallStringTable() {
  return kStrings;
}

}  // namespace vtsetup::resources
