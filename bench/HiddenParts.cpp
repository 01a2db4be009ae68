// Leaving parts of the fountain undrawn, for the benchmark.

#include "HiddenParts.h"

#include "app/Application.h"
#include "app/Fountain.h"
#include "wave/WaveSurfaceKit.h"

#include <Inventor/SoPath.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/nodes/SoDrawStyle.h>
#include <Inventor/nodes/SoGroup.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoSphere.h>

namespace {

// The parts by the names the benchmark's --hide option takes, in the order
// the report names them.
const struct {
  const char * name;
  HiddenPart part;
} partNames[] = {
  { "water", HIDDEN_WATER },
  { "drops", HIDDEN_DROPS },
  { "everything", HIDDEN_EVERYTHING },
};

SoDrawStyle *
invisible(void)
{
  SoDrawStyle * style = new SoDrawStyle;
  style->style = SoDrawStyle::INVISIBLE;
  return style;
}

}

bool
addHiddenPart(const std::string & name, unsigned & parts)
{
  for (const auto & entry : partNames) {
    if (name == entry.name) {
      parts |= entry.part;
      return true;
    }
  }
  return false;
}

std::string
hiddenPartNames(unsigned parts)
{
  std::string names;
  for (const auto & entry : partNames) {
    if (!(parts & entry.part)) continue;
    if (!names.empty()) names += ' ';
    names += entry.name;
  }
  return names;
}

int
hideParts(unsigned parts)
{
  if (parts & HIDDEN_EVERYTHING) sceneRoot->insertChild(invisible(), 0);
  if (parts & HIDDEN_WATER) {
    for (WaveSurfaceKit * kit : { lowerSurface, middleSurface, upperSurface }) {
      SoDrawStyle * style = static_cast<SoDrawStyle *>(kit->getPart("appearance.drawStyle", TRUE));
      style->style = SoDrawStyle::INVISIBLE;
    }
  }
  if (!(parts & HIDDEN_DROPS)) return 0;

  // The drops are the scene's only spheres, each the last child of its own
  // separator.
  SoSearchAction search;
  search.setType(SoSphere::getClassTypeId());
  search.setInterest(SoSearchAction::ALL);
  search.apply(sceneRoot);
  const SoPathList & spheres = search.getPaths();
  int hidden = 0;
  for (int i = 0; i < spheres.getLength(); i++) {
    SoNode * branch = spheres[i]->getNodeFromTail(1);
    if (!branch->isOfType(SoGroup::getClassTypeId())) continue;
    static_cast<SoGroup *>(branch)->insertChild(invisible(), 0);
    hidden++;
  }
  return hidden;
}
