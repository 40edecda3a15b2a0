#pragma once
// Paths between the toolkit and the core's file layer. Through UTF-16, so a
// name with any letters reaches the file system as the dialog showed it.

#include <QString>

#include <filesystem>

inline std::filesystem::path ToFilePath(const QString& path)
{
    return std::filesystem::path(path.toStdU16String());
}

inline QString FromFilePath(const std::filesystem::path& path)
{
    return QString::fromStdU16String(path.u16string());
}
