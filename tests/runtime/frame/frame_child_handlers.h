// Handlers named by the child program's window description.
#pragma once

void ChildCreated();
void ChildLeftDown();
void RaiseErrorOnClick();
void LogClick();
