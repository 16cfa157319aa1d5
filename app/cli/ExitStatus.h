#pragma once

// Exit statuses of the command line; each message that ends a run has its own.
namespace ExitStatus {
inline constexpr int Ok = 0;
inline constexpr int NothingFound = 1;  // "Файлов нет!"
inline constexpr int Usage = 2;         // bad arguments
inline constexpr int MissingRoot = 3;  // "Проверьте существование корневой директории"
inline constexpr int InvalidMask = 4;         // "Invalid pattern: ..."
inline constexpr int NoElements = 5;          // "No elements for merge"
inline constexpr int MissingFolder = 6;       // "Directory ... is not exist!!"
inline constexpr int MissingGeodatabase = 7;  // "File  ... is not exist!!"
inline constexpr int ReplaceRefused = 8;  // "Файл ... существует ... Заменить?" (or the table)
inline constexpr int MissingSource = 9;  // "Вы забыли указать файл-источник полей"
inline constexpr int Failure = 10;            // an error report: open, read or write failed
inline constexpr int ServerUnreachable = 11;  // --pg: no database server answered
inline constexpr int LoginRefused = 12;       // --pg: the server refused the login
inline constexpr int Partial = 13;       // --skip-unreadable: merged without the inputs not opened
inline constexpr int Interrupted = 130;  // Ctrl+C during the merge; nothing written
}  // namespace ExitStatus
