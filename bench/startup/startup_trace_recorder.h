// The start-up recorder of the traced tool (bench/startup).
#pragma once

// Records "entry" and every later start-up mark.
void InstallStartupRecorder();
