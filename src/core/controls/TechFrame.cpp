#include "controls/TechFrame.h"

#include <algorithm>

#include "units/NumberText.h"

namespace oravent {

void SetGridData(TEntryGridModel& Grid, int DataCount, const std::vector<TFieldValue>& Values,
                 const std::function<void(std::string_view)>& ShowMessage) {
    const int Count = static_cast<int>(Values.size());
    if (Count != DataCount && ShowMessage) ShowMessage(DataCountMessage);
    for (int I = 1; I <= std::min(Count, DataCount); ++I)
        Grid.SetValue(1, I, Values[static_cast<std::size_t>(I - 1)]);
}

std::string GridToXml(const TCellTable& Cells) {
    static constexpr std::string_view CrLf = "\r\n";
    const auto Name = [](const std::string& Text) { return ReplaceChar(' ', '_', Text); };
    const std::string Root = Name(Cells.Cell(1, 1));
    std::string Xml = "<?xml version=\"1.0\"?>";
    Xml += CrLf;
    Xml += "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
           "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">";
    Xml += CrLf;
    Xml += "<" + Root + ">";
    Xml += CrLf;
    for (int R = 2; R < Cells.RowCount(); ++R) {
        const std::string Tag = Name(Cells.Cell(0, R));
        Xml += "  <" + Tag + " Units=\"" + Cells.Cell(2, R) + "\">" + Cells.Cell(1, R) + "</" +
               Tag + ">";
        Xml += CrLf;
    }
    Xml += "</" + Root + ">";
    return Xml;
}

} // namespace oravent
