#include "model/lists.h"

namespace zandorik {

int TeamPosition(std::string_view name) {
  for (int i = 0; i < static_cast<int>(kTeams.size()); ++i) {
    if (kTeams[i].name == name) return i;
  }
  return -1;
}

int MovementPosition(std::string_view text) {
  for (int i = 0; i < static_cast<int>(kMovements.size()); ++i) {
    if (kMovements[i] == text) return i;
  }
  return -1;
}

}  // namespace zandorik
