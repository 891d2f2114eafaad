// Rules of the technical window frame that need no window: the generic
// "Copy to XML" text of a three-column property sheet, and which command an
// access key (Alt + letter) runs when several commands' captions share the
// letter. The Qt frame (gui/psychro/TxTechForm) measures and wires; the
// window arithmetic of Align is CompactAlign (controls/CompactAlign.h).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace oravent {

class TCellTable;

// The sheet as an XML text, lines ended by CR LF, no line break after the
// last: the XML declaration, the XHTML 1.0 Transitional document type,
// "<N>" where N is the value cell of row 1 (the item name), one line
// "  <T Units="U">V</T>" per row from 2 on (T the property cell, U the
// units cell, V the value cell), and "</N>". Blanks in N and T become "_".
// Cell texts are copied as they are: no escaping and no check of the
// element names, so a caption that is no XML name gives text that is not
// well-formed XML.
std::string TechFrameXml(const TCellTable& Table);

// The access key of a caption: the letter after the first single "&"
// ("&&" is a literal ampersand), in upper case; 0 when there is none.
char AccessKeyOf(std::string_view Caption);

// A command as the access keys see it.
struct TAccessKeyCommand {
    std::string Caption;   // "&Accept"
    bool Available = true; // shown and enabled
};

// The command that Alt + Key runs: the first available command, in the
// order given (the window lists its commands by precedence), whose access
// key is Key (any letter case); -1 when none.
int AccessKeyOwner(const std::vector<TAccessKeyCommand>& Commands, char Key);

} // namespace oravent
