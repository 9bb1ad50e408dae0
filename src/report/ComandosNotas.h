#pragma once
// The main window's notes commands: the preview window and the direct print.
void cmdVistaPreviaNotas_Click();
void cmdImprimirNotas_Click();
