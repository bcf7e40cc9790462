#pragma once

#include <QtGlobal>

// Which of an input's several files plays next (pure): in turn, or at random but never the
// one that played last, so that an exhibit's visitor never hears the same sentence twice
// in a row. `last` is -1 before the first; `random` any number from a generator.
enum class FileOrder { Turn, Random };
[[nodiscard]] int nextFile(int count, FileOrder order, int last, quint32 random);
