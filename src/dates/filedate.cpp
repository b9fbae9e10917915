#include "filedate.h"

namespace kadrano {

QDateTime FileTimes::earliest() const {
    QDateTime best;
    for (const QDateTime* t : {&created, &accessed, &written})
        if (t->isValid() && (!best.isValid() || *t < best))
            best = *t;
    return best;
}

}  // namespace kadrano
