#pragma once
// Where the tests find their data files (tests/data), the repository and the command-line tool.

#include <QString>

inline QString fixturePath(const QString& name)
{
    return QStringLiteral(WAKELINE_TEST_DATA_DIR "/") + name;
}
inline QString sourcePath(const QString& relative)
{
    return QStringLiteral(WAKELINE_SOURCE_DIR "/") + relative;
}
inline QString cliPath()
{
    return QStringLiteral(WAKELINE_CLI_PATH);
}
