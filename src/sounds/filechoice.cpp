#include "filechoice.h"

int nextFile(int count, FileOrder order, int last, quint32 random)
{
    if (count <= 1)
        return 0;
    if (order == FileOrder::Turn)
        return last < 0 ? 0 : (last + 1) % count;
    if (last < 0 || last >= count)
        return int(random % quint32(count));
    const int other = int(random % quint32(count - 1));   // one of the others, each as likely
    return other >= last ? other + 1 : other;
}
