#pragma once

#include <QCursor>
#include <optional>

struct Services;

// The hand pointer from "HAND-M.CUR" in the program's folder, hidden or not. Nothing when
// there is no such file; a file that is no usable cursor is reported and left alone.
std::optional<QCursor> loadHandPointer(const Services &services);
