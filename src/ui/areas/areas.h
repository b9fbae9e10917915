#pragma once

#include <vector>

class QWidget;

namespace kadrano {

class AreaHost;
class ToolArea;

// Builds the tool areas of the stack, top to bottom: this list alone decides which areas
// the window stacks and in which order. The areas are children of the window. (The camera
// numbers hang below the bottom strip and are built with it.)
std::vector<ToolArea*> makeStackedAreas(QWidget* window, AreaHost& host);

}  // namespace kadrano
