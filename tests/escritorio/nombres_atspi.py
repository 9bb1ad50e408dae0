"""The program as a screen reader sees it: over the accessibility bus (AT-SPI), every control
that can take the focus in the main window, the two editors and the backup dialog has a name,
and the picture buttons and the lists are named as the user reads them.

Usage: nombres_atspi.py PROGRAM_FOLDER (inside a D-Bus session and an X server)."""
import os
import subprocess
import sys
import time

import pyatspi

# Lists and tables: their rows are the user's data, not controls, and are not walked.
CON_FILAS = {pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TREE, pyatspi.ROLE_LIST}

ESPERADOS = {"Temas", "Índice de ítems", "Notas", "Crear un tema nuevo", "Editar el item actual",
             "Respaldar base de datos"}


def espera(condicion, que, segundos=60):
    final = time.monotonic() + segundos
    while time.monotonic() < final:
        valor = condicion()
        if valor:
            return valor
        time.sleep(0.25)
    sys.exit(f"FALLO: no aparece {que}")


def aplicacion():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "TALVEXV20":
            return app
    return None


def ventana(titulo, papel=None):
    """The program's window of that title (and role) once it is shown and enabled; the splash
    bears the main window's title, but it is no frame."""
    app = aplicacion()
    if app is None:
        return None
    for hija in app:
        if hija is not None and hija.name == titulo and papel in (None, hija.getRole()):
            estado = hija.getState()
            if estado.contains(pyatspi.STATE_SHOWING) and estado.contains(pyatspi.STATE_ENABLED):
                return hija
    return None


def recorre(nodo, ruta=""):
    """Every accessible below `nodo` that is shown, with its path of roles."""
    for hijo in nodo:
        if hijo is None:
            continue
        camino = f"{ruta}/{hijo.getRoleName()}"
        if hijo.getState().contains(pyatspi.STATE_SHOWING):
            yield hijo, camino
            if hijo.getRole() not in CON_FILAS:
                yield from recorre(hijo, camino)


def comprueba(titulo, papel=None):
    # The main window is enabled once the program has finished what it shows while it starts.
    raiz = espera(lambda: ventana(titulo, papel), f"la ventana «{titulo}»")
    sin_nombre, nombres, enfocables = [], set(), 0
    for nodo, camino in recorre(raiz):
        nombres.add(nodo.name)
        if nodo.getState().contains(pyatspi.STATE_FOCUSABLE):
            enfocables += 1
            if not nodo.name.strip():
                sin_nombre.append(camino)
    print(f"«{titulo}»: {enfocables} controles enfocables")
    if sin_nombre:
        sys.exit(f"FALLO: controles sin nombre en «{titulo}»: {sin_nombre}")
    return raiz, nombres


def pulsa(raiz, nombre):
    for nodo, _ in recorre(raiz):
        if nodo.name == nombre and nodo.getRole() in (pyatspi.ROLE_PUSH_BUTTON,
                                                      pyatspi.ROLE_TOGGLE_BUTTON):
            accion = nodo.queryAction()
            for i in range(accion.nActions):
                if accion.getName(i) in ("Press", "press", "click"):
                    accion.doAction(i)
                    return
    sys.exit(f"FALLO: no se encuentra el botón «{nombre}»")


def main():
    carpeta = sys.argv[1]
    entorno = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
                   QT_QPA_PLATFORM="xcb")
    programa = subprocess.Popen([os.path.join(carpeta, "TALVEXV20")], cwd=carpeta, env=entorno)
    try:
        principal, nombres = comprueba("TALVEX Ver. 2.0.0", pyatspi.ROLE_FRAME)
        faltan = ESPERADOS - nombres
        if faltan:
            sys.exit(f"FALLO: la ventana principal no nombra {sorted(faltan)}")
        for boton, titulo, cierre in (("Crear un tema nuevo", "Tema nuevo", "Cancelar"),
                                      ("Editar el item actual", "Editar item", "Cancelar"),
                                      ("Respaldar base de datos", "Respaldar base de datos",
                                       "Salir")):
            pulsa(principal, boton)
            dialogo, _ = comprueba(titulo)
            pulsa(dialogo, cierre)
            espera(lambda: ventana(titulo) is None, f"«{titulo}» cerrada")
        print("nombres accesibles correctos")
    finally:
        programa.kill()
        programa.wait()


if __name__ == "__main__":
    main()
