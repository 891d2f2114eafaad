// The CSV text of oravent-calc duct --csv: cutting the text into lines,
// splitting a line into fields (with '"' quoting) and writing a field so
// that it splits back to the same text. No sheet here; calc_duct_csv.cpp
// gives the fields their meaning.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace oravent::calc {

// The lines of a CSV text in order: a UTF-8 byte order mark at the start is
// skipped, a line ends at "\n" (not included) and a "\r" before it is
// dropped. A text that ends with "\n" has no empty last line.
class TCsvLines {
public:
    explicit TCsvLines(std::string_view text);
    // The next line; false when there is none.
    bool Next(std::string_view& line);

private:
    std::string_view rest_;
};

// Splits one line (without its line end) into fields at ",". A field may be
// quoted with '"' ('""' inside is one quote; blanks before the opening quote
// and anything between the closing quote and the next "," are dropped); an
// unquoted field is kept as it is, blanks included. A line ending in ","
// has an empty last field. The text of quoted fields is kept in unquoted,
// which is reserved so that it never moves: fields point into line and into
// unquoted. False for an unterminated quote.
bool SplitCsv(std::string_view line, std::vector<std::string_view>& fields,
              std::vector<std::string>& unquoted);

// Appends s as one field: as it is when it holds no ',', '"', "\n" or "\r",
// else quoted with '"' doubled and line breaks written as blanks.
void AppendCsvText(std::string& out, std::string_view s);

} // namespace oravent::calc
