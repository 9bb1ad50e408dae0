#pragma once
// The main window's commands that open the item editor.
void cmdNuevoItems_Click();
void cmdEditarItems_Click();
// Prepares frmItems for a new item or for the selected row of the index.
void MuestraEditorItem();
