#include <algorithm>

#include "resources/resource_types.h"

namespace vtsetup::resources {
namespace {

// In id order; 5011 and 5020 have no entry.
constexpr StringEntry kStrings[] = {
    {5000,
     "Plik SETUP.INF, kt\xF3ry jest potrzebny do instalacji, nie zosta\xB3 znaleziony.\r\nNie mo\xBFna "
     "kontynuowa\xE6 instalacji."},
    {5001, "Plik SETUP.INF jest uszkodzony.\r\nNie mo\xBFna kontynuowa\xE6 instalacji."},
    {5002, "c:\\Programme"},
    {5003, "Katalog %s ju\xBF istnieje.\r\nCzy chcesz kontynuowa\xE6 instalacj\xEA?"},
    {5004,
     "Nie znaleziono pliku \x9Fr\xF3"
     "d\xB3owego %s.\r\nBez tego pliku nie mo\xBFna zako\xF1"
     "czy\xE6 instalacji."},
    {5005, "Plik %s ju\xBF istnieje. Czy zast\xB9pi\xE6 ten plik i kolejne nowymi?"},
    {5006,
     "B\xB3\xB9"
     "d zapisu pliku %s."},
    {5007,
     "B\xB3\xB9"
     "d odczytu pliku %s."},
    {5008,
     "Na dysku %s, na kt\xF3rym ma zosta\xE6 zainstalowana gra, nie ma wystarczaj\xB9"
     "cej ilo\x9C"
     "ci wolnego miejsca na doko\xF1"
     "czenie instalacji.\r\nZwolnij potrzebn\xB9 ilo\x9C\xE6 miejsca na dysku i wybierz opcj\xEA Pon\xF3w "
     "lub przerwij instalacj\xEA."},
    {5009,
     "Usuni\xEA"
     "cie %s"},
    {5010,
     "Plik %s ma b\xB3\xEA"
     "dn\xB9 sum\xEA kontroln\xB9! To oznacza, \xBF"
     "e w nap\xEA"
     "dzie jest z\xB3"
     "a p\xB3tya CD lub jest uszkodzona."},
    {5012, "Brak pliku %s. Sterowniki DirectX nie zostan\xB9 zainstalowane."},
    {5013,
     "Nie mo\xBFna automatycznie zamkn\xB9\xE6 systemu Windows. Prosz\xEA r\xEA"
     "cznie zamkn\xB9\xE6 system."},
    {5014,
     "Nie mo\xBFna utworzy\xE6 pliku %s, opcja usuni\xEA"
     "cia gry nie b\xEA"
     "dzie dost\xEApna.\r\nCzy chcesz kontynuowa\xE6?"},
    {5015, "Nie mo\xBFna utworzy\xE6 pliku %s, instalacja zostanie przerwana."},
    {5016,
     "Nie mo\xBFna usun\xB9\xE6 pliku tymczasowego %s.\r\nCzy mam spr\xF3"
     "bowa\xE6 wykasowa\xE6 pozosta\xB3"
     "e pliki tymczasowe?"},
    {5017,
     "Instalacja nie zosta\xB3"
     "a zako\xF1"
     "czona pomy\x9Clnie."},
    {5018,
     "Nie mo\xBFna uruchomi\xE6 programu %s.\r\nProsz\xEA sprawdzi\xE6, czy nie zosta\xB3 usuni\xEAty."},
    {5019,
     "Na \xBF"
     "adnym nap\xEA"
     "dzie nie ma wystarczaj\xB9"
     "co du\xBFo wolnego miejsca na minimaln\xB9 instalacj\xEA.\r\nPotrzeba przynajmniej %0.1f "
     "MB.\r\nZwolnij odpowiednie miejsce i naci\x9Cnij OK lub przerwij instalacj\xEA."},
    {5021,
     "Wybierz \x9C"
     "cie\xBFk\xEA docelow\xB9:"},
    {5022,
     "W wybranym miejscu znajduje si\xEA ju\xBF gra Orvella. Je\xBF"
     "eli zainstalujesz tam gr\xEA ponownie, poprzedniej wersji nie da si\xEA poprawnie usun\xB9\xE6. Czy "
     "chcesz kontynuowa\xE6?"},
    {5023, "pl.rtf"},
    {5024, "pl"},
};

}  // namespace

std::span<const StringEntry> StringTable() {
  return kStrings;
}

const char* FindString(std::uint16_t id) {
  const auto found = std::find_if(std::begin(kStrings), std::end(kStrings),
                                  [id](const StringEntry& entry) { return entry.id == id; });
  return found == std::end(kStrings) ? nullptr : found->text;
}

}  // namespace vtsetup::resources
