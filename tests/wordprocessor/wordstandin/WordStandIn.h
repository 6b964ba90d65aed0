#pragma once

// How a test scripts the word processor's stand-in and reads what it was asked. The test loads
// the same DLL that COM loads for "Word.Application", so both share these settings.

#ifdef WORDSTANDIN_BUILD
#define WORDSTANDIN_API extern "C" __declspec(dllexport)
#else
#define WORDSTANDIN_API extern "C" __declspec(dllimport)
#endif

// Clears the log. Every call whose log entry starts with failAt (for example L"Merge" or
// L"put Visible"; L"create" for the creation itself) fails from now on; shown sets whether a
// new application starts out visible, as one already in the user's hands would.
WORDSTANDIN_API void standInReset(const wchar_t *failAt, int shown);
// Copies the log, one call per line, into buffer; returns the size it needs, terminator included.
WORDSTANDIN_API int standInLog(wchar_t *buffer, int size);
// The stand-in's objects that are still referenced.
WORDSTANDIN_API long standInLiveObjects();
// Registers an application reporting name as the running instance, or none when name is null.
WORDSTANDIN_API long standInSetRunning(const wchar_t *name);
