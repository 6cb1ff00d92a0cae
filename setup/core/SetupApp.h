// Process-wide state of the setup program: instance, current context, names and folder.
#pragma once

#include <windows.h>

class SetupContext;

HINSTANCE instanceHandle();
void storeInstanceHandle(HINSTANCE instance);

SetupContext* currentContext();
void publishContext(SetupContext* context);

const char* mainWindowClassName();
const char* splashWindowClassName();
const char* engineVersion();

// The program's folder without a trailing backslash, in one buffer that every call rewrites.
const char* moduleFolder();
