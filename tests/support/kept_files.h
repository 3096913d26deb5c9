#pragma once
// For comparing two builds byte for byte: when WAKELINE_KEEP_TEST_FILES names a folder, a
// test's working folders are copied there under the test's name before they are removed,
// with what the platform fakes were asked and shown. A folder's own (temporary) path inside
// any text becomes its label, so two runs differ only where the program does.

#include <QString>
#include <vector>

struct FakeServices;

struct KeptFolder
{
    QString path;
    QString label;
};

void keepTestFiles(const FakeServices& fake, const std::vector<KeptFolder>& folders);
