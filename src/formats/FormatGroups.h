#pragma once
// The case formats by kind, in catalogue order: the Format menu shows each kind as a
// block between separators, in the same order as the format list, so item k of the
// menu is always format k.
#include <QList>

namespace vt {

struct FormatGroup
{
    int first = 0; // format indices first..last
    int last = 0;
};

// The groups covering formats 0..formatCount-1 without gaps. Formats beyond the
// shipped 22 (a catalogue with more entries) form one last group.
QList<FormatGroup> formatGroups(int formatCount);

} // namespace vt
