#pragma once
// The 24x24 command icons (shell/icons/, drawn by tools/tool_make_icons), one
// per command name: CommandIcon("ActionAutoIn"), CommandIcon("WindowCascade1").
#include <QIcon>
#include <QStringList>

// Every icon the resource holds, by command name.
QStringList CommandIconNames();
// The icon of a command; a null icon for an unknown name.
QIcon CommandIcon(const QString &name);
