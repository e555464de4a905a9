#pragma once

// Ids of the test program's own resources, shared by its resource script and its tests.

// The dialogs are hidden: a shown window takes the display server a while to take down again, and only
// the tests that paint need one shown.

// A page-like dialog: a list box first in the tab order, a check box, an edit, a progress bar, a button.
#define TEST_DIALOG_CONTROLS 100
#define TEST_LIST 1000
#define TEST_CHECK 1001
#define TEST_EDIT 1002
#define TEST_PROGRESS 1003
#define TEST_BUTTON 1004

// A dialog with a rich-edit control, whose class the rich-edit library brings.
#define TEST_DIALOG_RICH_EDIT 101
#define TEST_RICH_EDIT 1100

// A dialog that only shows: a caption and a progress bar, no control that takes the focus.
#define TEST_DIALOG_PROGRESS 102
#define TEST_CAPTION 1200
#define TEST_PROGRESS_ONLY 1201

// A template that does not exist.
#define TEST_DIALOG_MISSING 199

#define TEST_STRING_CAPTION 2000
#define TEST_STRING_ONE_LETTER 2001
#define TEST_STRING_MISSING 2099
