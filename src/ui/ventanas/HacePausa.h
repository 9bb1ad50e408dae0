#pragma once
// Waits `ticks` ticks of the pause timer at `intervalo` milliseconds while window events
// keep being handled. The wait sleeps in an event loop and always ends.
void HacePausa(int intervalo, int ticks);
