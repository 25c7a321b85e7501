// Input control: the hidden cursor, mouse motion measured from the home point, keys and buttons as a scene sees them.
#include <gtest/gtest.h>

#include "shell/input_control.h"

// No display here: the window layer keeps the cursor position itself until video is up,
// which is exactly what the input object reads back.
namespace {

void moveCursorTo(InputControl& input, int x, int y) {
    SetCursorPos(x, y);
    input.handleMessage(WM_MOUSEMOVE, 0, 0);
}

TEST(InputControl, ConstructionHidesTheCursorAndDestructionShowsItAgain) {
    int before = ShowCursor(TRUE) - 1;
    ShowCursor(FALSE);
    {
        InputControl input;
        EXPECT_TRUE(input.cursorHidden);
        EXPECT_EQ(ShowCursor(TRUE), before) << "constructor took one off the counter";
        ShowCursor(FALSE);
        POINT point;
        GetCursorPos(&point);
        EXPECT_EQ(point.x, 0);
        EXPECT_EQ(point.y, 0);
    }
    EXPECT_EQ(ShowCursor(TRUE), before + 1) << "destructor gave it back";
    ShowCursor(FALSE);
}

TEST(InputControl, MouseMotionIsMeasuredFromTheHomePointWhateverTheNumberOfMoves) {
    InputControl input;
    input.centre(1024, 768);
    POINT home;
    GetCursorPos(&home);
    EXPECT_EQ(home.x, 512);
    EXPECT_EQ(home.y, 384);

    moveCursorTo(input, 612, 384);
    moveCursorTo(input, 612, 384);  // 100 right, twice: each move is measured from home
    input.handleMessage(WM_MOUSEMOVE, 0, 0);  // the cursor is back home: nothing more
    input.update();
    EXPECT_NEAR(input.mouseDeltaX, 1.0f, 1e-6f);
    EXPECT_EQ(input.mouseDeltaY, 0.0f);

    moveCursorTo(input, 712, 334);  // one move of 200 right, 50 up
    input.update();
    EXPECT_NEAR(input.mouseDeltaX, 1.0f, 1e-6f);
    EXPECT_NEAR(input.mouseDeltaY, -0.25f, 1e-6f);

    input.update();
    EXPECT_EQ(input.mouseDeltaX, 0.0f) << "no motion, no delta";
}

TEST(InputControl, CentreTruncatesAnOddSize) {
    InputControl input;
    input.centre(1023, 767);
    EXPECT_EQ(input.centreX, 511.5f);
    POINT home;
    GetCursorPos(&home);
    EXPECT_EQ(home.x, 511);
    EXPECT_EQ(home.y, 383);
}

TEST(InputControl, KeysAndButtonsAsASceneSeesThemAfterUpdate) {
    InputControl input;
    input.handleMessage(WM_KEYDOWN, 'W', 0);
    input.handleMessage(WM_KEYDOWN, 'S', 0);
    input.handleMessage(WM_KEYUP, 'S', 0);
    input.handleMessage(WM_LBUTTONDOWN, 0, 0);
    input.handleMessage(WM_LBUTTONUP, 0, 0);
    EXPECT_TRUE(input.keyReleased['S']);
    EXPECT_TRUE(input.leftClicked);

    input.update();
    EXPECT_TRUE(input.keyDown['W']);
    EXPECT_FALSE(input.keyDown['S']);
    EXPECT_FALSE(input.keyReleased['S']) << "released flags are cleared before a scene steps";
    EXPECT_FALSE(input.leftClicked);
}

TEST(InputControl, KeyUpWithoutKeyDownIsNotARelease) {
    InputControl input;
    input.handleMessage(WM_KEYUP, 'Q', 0);
    EXPECT_FALSE(input.keyReleased['Q']);
    EXPECT_FALSE(input.keyDown['Q']);
    input.handleMessage(WM_LBUTTONUP, 0, 0);
    EXPECT_FALSE(input.leftClicked);
}

TEST(InputControl, ConsumesOnlyItsFiveMessagesAndIgnoresOutOfRangeKeys) {
    InputControl input;
    EXPECT_TRUE(input.handleMessage(WM_KEYDOWN, 300, 0)) << "a key code past the table is consumed safely";
    EXPECT_TRUE(input.handleMessage(WM_KEYUP, 70000, 0));
    EXPECT_FALSE(input.handleMessage(WM_SYSKEYDOWN, 'A', 0));
    EXPECT_FALSE(input.keyDown['A']);
    EXPECT_FALSE(input.handleMessage(WM_ACTIVATE, WA_ACTIVE, 0));
    EXPECT_FALSE(input.handleMessage(WM_CHAR, 'a', 0));
}

}  // namespace
