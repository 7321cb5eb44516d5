// The four tools as the shell sees them. Each tool's folder provides its
// operations; the shell opens, closes, routes commands and ticks.
#pragma once

void ConfigureModuleOpen();
void ConfigureModuleClose();
void ConfigureModuleCommand(int id);

void TestModuleOpen();
void TestModuleClose();
void TestModuleCommand(int id);
void TestModuleTick();

void TestFunctionOpen();
void TestFunctionClose();
void TestFunctionCommand(int id);
void TestFunctionTick();

void AnalyzerOpen();
void AnalyzerClose();
void AnalyzerCommand(int id);
void AnalyzerTick();
