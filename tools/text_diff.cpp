// Line diff: common first and last lines set aside, the longest common subsequence of the
// lines between (a table, bounded in size; past the bound the middle shows as replaced).
#include "tools/text_diff.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

constexpr size_t kMaxTable = 4u << 20;  // cells of the common-subsequence table

}  // namespace

std::vector<std::string_view> split_line_views(std::string_view t) {
    std::vector<std::string_view> v;
    size_t lines = 1;
    for (size_t at = t.find('\n'); at != std::string_view::npos; at = t.find('\n', at + 1)) ++lines;
    v.reserve(lines);  // grown once
    size_t pos = 0;
    while (pos < t.size()) {
        size_t nl = t.find('\n', pos);
        if (nl == std::string_view::npos) nl = t.size();
        std::string_view ln = t.substr(pos, nl - pos);
        if (!ln.empty() && ln.back() == '\r') ln.remove_suffix(1);
        v.push_back(ln);
        pos = nl + 1;
    }
    return v;
}

std::vector<std::string> split_lines(const std::string& t) {
    const std::vector<std::string_view> views = split_line_views(t);
    return std::vector<std::string>(views.begin(), views.end());
}

std::string line_diff(const std::string& before, const std::string& after) {
    const std::vector<std::string> a = split_lines(before), b = split_lines(after);
    size_t pre = 0;
    while (pre < a.size() && pre < b.size() && a[pre] == b[pre]) ++pre;
    size_t suf = 0;
    while (suf + pre < a.size() && suf + pre < b.size() && a[a.size() - 1 - suf] == b[b.size() - 1 - suf]) ++suf;
    const size_t n = a.size() - pre - suf, m = b.size() - pre - suf;
    if (n == 0 && m == 0) return "";
    // ops: ' ' kept, '-' removed, '+' added, with the line of each side.
    struct Op {
        char kind;
        size_t ia, ib;
    };
    std::vector<Op> ops;
    for (size_t i = 0; i < pre; ++i) ops.push_back({' ', i, i});
    if ((n + 1) * (m + 1) <= kMaxTable) {
        std::vector<uint32_t> len((n + 1) * (m + 1), 0);  // len[i][j]: common lines of a[i..], b[j..]
        auto at = [&](size_t i, size_t j) -> uint32_t& { return len[i * (m + 1) + j]; };
        for (size_t i = n; i-- > 0;)
            for (size_t j = m; j-- > 0;)
                at(i, j) = a[pre + i] == b[pre + j] ? at(i + 1, j + 1) + 1 : std::max(at(i + 1, j), at(i, j + 1));
        size_t i = 0, j = 0;
        while (i < n || j < m) {
            if (i < n && j < m && a[pre + i] == b[pre + j]) ops.push_back({' ', pre + i++, pre + j++});
            else if (i < n && (j == m || at(i + 1, j) >= at(i, j + 1))) ops.push_back({'-', pre + i++, pre + j});
            else ops.push_back({'+', pre + i, pre + j++});
        }
    } else {
        for (size_t i = 0; i < n; ++i) ops.push_back({'-', pre + i, pre});
        for (size_t j = 0; j < m; ++j) ops.push_back({'+', pre + n, pre + j});
    }
    for (size_t i = 0; i < suf; ++i) ops.push_back({' ', pre + n + i, pre + m + i});

    std::string out;
    size_t last_shown = static_cast<size_t>(-2);
    for (size_t k = 0; k < ops.size(); ++k) {
        bool near_change = ops[k].kind != ' ' || (k > 0 && ops[k - 1].kind != ' ') ||
                           (k + 1 < ops.size() && ops[k + 1].kind != ' ');
        if (!near_change) continue;
        if (last_shown + 1 != k) out += "@@ line " + std::to_string(ops[k].ia + 1) + "\n";
        const std::string& text = ops[k].kind == '+' ? b[ops[k].ib] : a[ops[k].ia];
        out += ops[k].kind;
        out += text + "\n";
        last_shown = k;
    }
    return out;
}
