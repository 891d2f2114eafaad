#include "controls/TechFrame.h"

#include <algorithm>
#include <cctype>

#include "controls/TxEntryGrid.h"

namespace oravent {

namespace {

std::string Underscored(std::string Text) {
    std::replace(Text.begin(), Text.end(), ' ', '_');
    return Text;
}

char Upper(char C) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(C)));
}

} // namespace

std::string TechFrameXml(const TCellTable& Table) {
    static constexpr const char* Eol = "\r\n";
    const std::string Name = Underscored(Table.Cell(1, 1));
    std::string Text = "<?xml version=\"1.0\"?>";
    Text += Eol;
    Text += "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
            "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">";
    Text += Eol;
    Text += "<" + Name + ">";
    Text += Eol;
    for (int R = 2; R < Table.RowCount(); ++R) {
        const std::string Tag = Underscored(Table.Cell(0, R));
        Text += "  <";
        Text += Tag;
        Text += " Units=\"";
        Text += Table.Cell(2, R);
        Text += "\">";
        Text += Table.Cell(1, R);
        Text += "</";
        Text += Tag;
        Text += ">";
        Text += Eol;
    }
    Text += "</" + Name + ">";
    return Text;
}

char AccessKeyOf(std::string_view Caption) {
    for (std::size_t I = 0; I + 1 < Caption.size(); ++I) {
        if (Caption[I] != '&') continue;
        if (Caption[I + 1] == '&') {
            ++I; // a literal ampersand
            continue;
        }
        return Upper(Caption[I + 1]);
    }
    return 0;
}

int AccessKeyOwner(const std::vector<TAccessKeyCommand>& Commands, char Key) {
    if (Key == 0) return -1;
    Key = Upper(Key);
    for (std::size_t I = 0; I < Commands.size(); ++I) {
        if (Commands[I].Available && AccessKeyOf(Commands[I].Caption) == Key)
            return static_cast<int>(I);
    }
    return -1;
}

} // namespace oravent
