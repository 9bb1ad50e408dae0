#pragma once
// The main window's commands that open the topic editor.
void cmdNuevoTema_Click();
void cmdEditarTema_Click();
// Prepares frmTemas for a new topic or for the selected one.
void MuestraEditorTema();
