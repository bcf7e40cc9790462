#include "quiz.h"

#include <algorithm>

namespace {
// The place of an input in the order 2, 1, 3, 4.
int rank(int input)
{
    const auto line = std::find_if(kInputs.begin(), kInputs.end(),
                                   [input](const InputLine &l) { return l.number == input; });
    return int(line - kInputs.begin());
}
}   // namespace

std::optional<Press> firstPress(const QList<Press> &presses)
{
    const auto first = std::min_element(presses.begin(), presses.end(), [](const Press &a, const Press &b) {
        return a.atNs != b.atNs ? a.atNs < b.atNs : rank(a.input) < rank(b.input);
    });
    if (first == presses.end())
        return std::nullopt;
    return *first;
}

Inputs Quiz::allowed(const QList<Press> &presses)
{
    if (!m_winner)
        if (const std::optional<Press> first = firstPress(presses))
            m_winner = first->input;
    Inputs allowed {};
    if (m_winner)
        allowed[std::size_t(*m_winner - 1)] = true;
    return allowed;
}
