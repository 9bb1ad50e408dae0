#pragma once
// The controls of a window as tests reach them: by their object names, the names the user's
// tools (a screen reader, the accessibility bus) see.
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeView>
#include <QWidget>

template <class T> T* Hijo(const QObject& ventana, const char* nombre)
{
    T* control = ventana.findChild<T*>(QString::fromLatin1(nombre));
    if (!control)
        qFatal("%s no tiene el control %s", qPrintable(ventana.objectName()), nombre);
    return control;
}

template <class T> T* Hijo(const QObject* ventana, const char* nombre)
{
    return Hijo<T>(*ventana, nombre);
}
