// Leaving parts of the fountain undrawn, for the benchmark.

#include "HiddenParts.h"

#include "app/Application.h"
#include "app/Fountain.h"
#include "wave/WaveSurfaceKit.h"

#include <Inventor/SoPath.h>
#include <Inventor/actions/SoSearchAction.h>
#include <Inventor/nodes/SoCube.h>
#include <Inventor/nodes/SoCylinder.h>
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
  { "masonry", HIDDEN_MASONRY },
  { "everything", HIDDEN_EVERYTHING },
};

SoDrawStyle *
invisible(void)
{
  SoDrawStyle * style = new SoDrawStyle;
  style->style = SoDrawStyle::INVISIBLE;
  return style;
}

// Hides every shape of the given type that is a child of a group (the
// fountain's are each the last child of their own separator), by an
// invisible draw style before it. Returns how many it hid.
int
hideEvery(SoType type)
{
  SoSearchAction search;
  search.setType(type);
  search.setInterest(SoSearchAction::ALL);
  search.apply(sceneRoot);
  const SoPathList & shapes = search.getPaths();
  int hidden = 0;
  for (int i = 0; i < shapes.getLength(); i++) {
    SoNode * branch = shapes[i]->getNodeFromTail(1);
    if (!branch->isOfType(SoGroup::getClassTypeId())) continue;
    static_cast<SoGroup *>(branch)->insertChild(invisible(), 0);
    hidden++;
  }
  return hidden;
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

std::string
hideParts(unsigned parts)
{
  if (parts & HIDDEN_EVERYTHING) sceneRoot->insertChild(invisible(), 0);
  if (parts & HIDDEN_WATER) {
    for (WaveSurfaceKit * kit : { lowerSurface, middleSurface, upperSurface }) {
      SoDrawStyle * style = static_cast<SoDrawStyle *>(kit->getPart("appearance.drawStyle", TRUE));
      style->style = SoDrawStyle::INVISIBLE;
    }
  }
  // The drops are the only spheres; the masonry is every box and cylinder.
  std::string counts;
  if (parts & HIDDEN_DROPS)
    counts = std::to_string(hideEvery(SoSphere::getClassTypeId())) + " drop spheres";
  if (parts & HIDDEN_MASONRY) {
    const int shapes =
      hideEvery(SoCube::getClassTypeId()) + hideEvery(SoCylinder::getClassTypeId());
    if (!counts.empty()) counts += ", ";
    counts += std::to_string(shapes) + " masonry shapes";
  }
  return counts;
}
