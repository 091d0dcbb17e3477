// fqdriver commands that act on the controls of a dialog of the program:
// read a control's text and state, read a pixel of it, send it a message,
// and post keys to the dialog the way the keyboard would.
#pragma once

namespace fqdrv {

int ItemText(char** a);     // CLASS TITLE ID
int ItemInfo(char** a);     // CLASS TITLE ID
int ItemPixel(char** a);    // CLASS TITLE ID X Y
int ItemMessage(char** a);  // CLASS TITLE ID MSG WPARAM LPARAM (numbers; sent)
int PostChar(char** a);     // CLASS TITLE CHAR
int PostKey(char** a);      // CLASS TITLE VK (decimal)

}  // namespace fqdrv

// The rows of these commands for the driver's command table.
#define FQ_DIALOG_COMMANDS                                              \
  {"item-text", "CLASS TITLE ID", 3, fqdrv::ItemText},                  \
      {"item-info", "CLASS TITLE ID", 3, fqdrv::ItemInfo},              \
      {"item-pixel", "CLASS TITLE ID X Y", 5, fqdrv::ItemPixel},        \
      {"item-message", "CLASS TITLE ID MSG WPARAM LPARAM", 6, fqdrv::ItemMessage}, \
      {"post-char", "CLASS TITLE CHAR", 3, fqdrv::PostChar},            \
      {"post-key", "CLASS TITLE VK", 3, fqdrv::PostKey},
