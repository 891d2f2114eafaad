// CSV lines and fields of oravent-calc duct --csv.
#include "calc_csv.h"

namespace oravent::calc {

TCsvLines::TCsvLines(std::string_view text) : rest_(text) {
    if (rest_.substr(0, 3) == "\xEF\xBB\xBF") rest_.remove_prefix(3);
}

bool TCsvLines::Next(std::string_view& line) {
    if (rest_.empty()) return false;
    const std::size_t nl = rest_.find('\n');
    line = rest_.substr(0, nl);
    rest_ = nl == std::string_view::npos ? std::string_view{} : rest_.substr(nl + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return true;
}

bool SplitCsv(std::string_view line, std::vector<std::string_view>& fields,
              std::vector<std::string>& unquoted) {
    fields.clear();
    unquoted.clear();
    unquoted.reserve(line.size() / 2 + 1); // at most one quoted field per two bytes
    std::size_t i = 0;
    for (;;) {
        std::size_t start = i;
        while (start < line.size() && line[start] == ' ')
            ++start;
        if (start < line.size() && line[start] == '"') {
            std::string v;
            std::size_t k = start + 1;
            for (;;) {
                if (k >= line.size()) return false;
                if (line[k] == '"') {
                    if (k + 1 < line.size() && line[k + 1] == '"') {
                        v += '"';
                        k += 2;
                        continue;
                    }
                    ++k;
                    break;
                }
                v += line[k++];
            }
            while (k < line.size() && line[k] != ',')
                ++k; // blanks after the quote
            unquoted.push_back(std::move(v));
            fields.push_back(unquoted.back());
            i = k;
        } else {
            const std::size_t comma = line.find(',', i);
            const std::size_t end = comma == std::string_view::npos ? line.size() : comma;
            fields.push_back(line.substr(i, end - i));
            i = end;
        }
        if (i >= line.size()) break;
        ++i; // the comma
        if (i == line.size()) {
            fields.push_back({});
            break;
        }
    }
    return true;
}

void AppendCsvText(std::string& out, std::string_view s) {
    if (s.find_first_of(",\"\n\r") == std::string_view::npos) {
        out += s;
        return;
    }
    out += '"';
    for (char c : s) {
        if (c == '"') out += '"';
        out += (c == '\n' || c == '\r') ? ' ' : c;
    }
    out += '"';
}

} // namespace oravent::calc
