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
  if (name == "water") parts |= HIDDEN_WATER;
  else if (name == "drops") parts |= HIDDEN_DROPS;
  else if (name == "everything") parts |= HIDDEN_EVERYTHING;
  else return false;
  return true;
}

std::string
hiddenPartNames(unsigned parts)
{
  std::string names;
  if (parts & HIDDEN_WATER) names += " water";
  if (parts & HIDDEN_DROPS) names += " drops";
  if (parts & HIDDEN_EVERYTHING) names += " everything";
  return names.empty() ? names : names.substr(1);
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
