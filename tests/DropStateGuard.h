#ifndef FOUNTAIN_TESTS_DROPSTATEGUARD_H
#define FOUNTAIN_TESTS_DROPSTATEGUARD_H

// A scene-test fixture that puts the drop streams, the scene root's children
// and the jet switch back as they were before each test, so that tests which
// tick the clock see the fountain as start-up left it, whether each test runs
// in its own process or all run in one.

#include "SceneFixture.h"

#include "app/Application.h"
#include "drops/CascadeDrop.h"
#include "drops/DropTick.h"
#include "drops/JetDrop.h"

#include <Inventor/nodes/SoMaterial.h>
#include <Inventor/nodes/SoSeparator.h>
#include <Inventor/nodes/SoTransform.h>

#include <vector>

class DropStateTest : public SceneTest {
protected:
  void SetUp() override {
    savedLower.clear();
    savedUpper.clear();
    savedJets.clear();
    savedJetTransparency.clear();
    savedJetEnabled = jetEnabled;
    savedChildren = sceneRoot->getNumChildren();
    for (CascadeDrop * d : lowerCascade) savedLower.push_back(*d);
    for (CascadeDrop * d : upperCascade) savedUpper.push_back(*d);
    for (JetDrop * d : jetDrops) {
      savedJets.push_back(*d);
      savedJetTransparency.push_back(d->materialNode->transparency[0]);
    }
  }

  void TearDown() override {
    restore(lowerCascade, savedLower);
    restore(upperCascade, savedUpper);
    restore(jetDrops, savedJets);
    for (size_t i = 0; i < jetDrops.size(); i++)
      jetDrops[i]->materialNode->transparency = savedJetTransparency[i];
    while (sceneRoot->getNumChildren() > savedChildren)
      sceneRoot->removeChild(sceneRoot->getNumChildren() - 1);
    jetEnabled = savedJetEnabled;
  }

  // Children that the tick appended after the given count.
  template <class Drop>
  static std::vector<Drop *> since(const std::vector<Drop *> & list, size_t count) {
    return std::vector<Drop *>(list.begin() + count, list.end());
  }

private:
  template <class Drop>
  static void restore(std::vector<Drop *> & list, const std::vector<Drop> & saved) {
    while (list.size() > saved.size()) {
      delete list.back();
      list.pop_back();
    }
    for (size_t i = 0; i < saved.size(); i++) {
      *list[i] = saved[i];
      list[i]->transformNode->translation = saved[i].position;
    }
  }

  bool savedJetEnabled = false;
  int savedChildren = 0;
  std::vector<CascadeDrop> savedLower, savedUpper;
  std::vector<JetDrop> savedJets;
  std::vector<float> savedJetTransparency;
};

#endif
