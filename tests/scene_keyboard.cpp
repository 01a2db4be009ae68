// The J key switches the central jet; nothing else of the keyboard is ours.

#include "DropStateGuard.h"

#include "app/Application.h"

#include <Inventor/SbViewportRegion.h>
#include <Inventor/actions/SoHandleEventAction.h>
#include <Inventor/events/SoKeyboardEvent.h>
#include <Inventor/events/SoMouseButtonEvent.h>
#include <Inventor/nodes/SoSeparator.h>

namespace {

// Sends one event through the whole scene, as the viewer does; returns
// whether some node marked it handled.
bool
send(SoEvent & event)
{
  SoHandleEventAction action(SbViewportRegion(200, 200));
  event.setPosition(SbVec2s(-10, -10));  // off the viewport: no surface is picked
  action.setEvent(&event);
  action.apply(sceneRoot);
  return action.isHandled();
}

bool
key(SoKeyboardEvent::Key which, SoButtonEvent::State state)
{
  SoKeyboardEvent event;
  event.setKey(which);
  event.setState(state);
  return send(event);
}

}

using KeyboardTest = DropStateTest;

TEST_F(KeyboardTest, PressingJFlipsTheJetAndConsumesTheEvent) {
  const bool start = jetEnabled;
  EXPECT_TRUE(key(SoKeyboardEvent::J, SoButtonEvent::DOWN));
  EXPECT_EQ(jetEnabled, !start);
  EXPECT_FALSE(key(SoKeyboardEvent::J, SoButtonEvent::UP));
  EXPECT_EQ(jetEnabled, !start);
  EXPECT_TRUE(key(SoKeyboardEvent::J, SoButtonEvent::DOWN));
  EXPECT_EQ(jetEnabled, start);

  // Modifiers are not looked at.
  SoKeyboardEvent shifted;
  shifted.setKey(SoKeyboardEvent::J);
  shifted.setState(SoButtonEvent::DOWN);
  shifted.setShiftDown(TRUE);
  EXPECT_TRUE(send(shifted));
  EXPECT_EQ(jetEnabled, !start);
}

TEST_F(KeyboardTest, OtherKeysAndEventsChangeNothing) {
  const bool start = jetEnabled;
  for (SoKeyboardEvent::Key other : {SoKeyboardEvent::K, SoKeyboardEvent::H, SoKeyboardEvent::SPACE,
                                     SoKeyboardEvent::ESCAPE, SoKeyboardEvent::PAD_1}) {
    EXPECT_FALSE(key(other, SoButtonEvent::DOWN)) << int(other);
    EXPECT_FALSE(key(other, SoButtonEvent::UP)) << int(other);
    EXPECT_EQ(jetEnabled, start);
  }
  SoMouseButtonEvent click;
  click.setButton(SoMouseButtonEvent::BUTTON2);
  click.setState(SoButtonEvent::DOWN);
  EXPECT_FALSE(send(click));
  EXPECT_EQ(jetEnabled, start);
}
