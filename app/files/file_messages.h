#pragma once
// The one place where a file problem becomes the message the customer reads: which file, what
// was being done, and why, with the line where a line is to blame.
#include "runtime/files/whole_file.h"
#include "runtime/window/window.h"

enum class FileAction { Read, Write };

// "ファイル「…」を読み込めません。" and the reason; line 0 names no line.
void ReportFileProblem(Obj& form, FileAction action, const Text& path, int line, const Text& reason);

// The reason of a failed system call, in the customer's words.
Text ReasonOf(const rt::FileResult& result);
