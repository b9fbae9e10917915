#include "areas.h"

#include "datearea.h"
#include "duplicatesarea.h"
#include "orientationarea.h"
#include "renamearea.h"
#include "resizearea.h"
#include "shufflearea.h"
#include "textarea.h"

namespace kadrano {

std::vector<ToolArea*> makeStackedAreas(QWidget* window, AreaHost& host) {
    return {
        new ResizeArea(window, host),  new OrientationArea(window, host),
        new RenameArea(window, host),  new TextArea(window, host),
        new ShuffleArea(window, host), new DuplicatesArea(window, host),
        new DateArea(window, host),
    };
}

}  // namespace kadrano
