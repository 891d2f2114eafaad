// The technical window frame's grid jobs that need no window: filling the
// value column from a list of values (SetGridData, with its
// "DataCount<>LineCount" message) and the generic Copy to XML text of the
// grid. The Align arithmetic is TechFormAlign (CompactAlign.h). The frame
// (a Qt window) loads its row texts, keeps DataCount and calls these.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "controls/TxEntryGrid.h"

namespace oravent {

inline constexpr std::string_view DataCountMessage = "DataCount<>LineCount";

// Writes Values[i - 1] into the value cell of row i, for i = 1 .. DataCount,
// through the grid's SetValue, so that every value is formatted by its row.
// When the number of values differs from DataCount, ShowMessage gets
// "DataCount<>LineCount" first, and only the rows that have both a value and
// a definition are written; the others keep their texts.
void SetGridData(TEntryGridModel& Grid, int DataCount, const std::vector<TFieldValue>& Values,
                 const std::function<void(std::string_view)>& ShowMessage);

// The frame's Copy to XML text, lines ended by CR LF except the last: the
// XML declaration, the XHTML 1.0 Transitional document type, the element
// named after the value cell of row 1, one element per row from 2 to the
// last named after its property cell (blanks made "_") with a Units
// attribute holding the units cell and the value cell as content, and the
// closing tag. Texts are copied as shown, without escaping; a caption that
// is no XML name gives text that is not well-formed XML.
std::string GridToXml(const TCellTable& Cells);

} // namespace oravent
