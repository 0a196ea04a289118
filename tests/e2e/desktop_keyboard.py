#!/usr/bin/env python3
"""The desktop host from the keyboard alone, as a clerk who types all day uses it.

Runs under an X server (xvfb-run) with a fresh demo database and a real `vnd42400 serve`,
starts `vnd-host --open` and plays the user with real key events (xdotool): no mouse, nothing
reaches into the program. It picks a list of products ("Lista", F2, the filter typed without
accents, Tab, Space, Enter), confirms with F10 and checks the database; then opens the screen
again from the menu, chooses "Intervalo" with the arrow keys -- typing on while the server is
held answering, which must be dropped -- takes the range out of the promotion and checks the
database again.

It waits on what can be seen from outside, never on the clock: a window with a title appearing
or going, the server's log line of a call, and the main window's title, which says
"Aguardando o servidor..." while a call runs (keys typed then are dropped by design, so each
key that makes a call is followed by a wait for its end).
"""
import argparse
import os
import re
import signal
import sqlite3
import subprocess
import sys
import tempfile
import threading
import time

DEADLINE = 120
MAIN_TITLE = "Retaguarda de Vendas"
VALIDITY = ("SELECT MAX(DTINIVGPREC) FROM TABEVEND WHERE CDFILIAL='0001' AND CDTABEPREC='001' "
            "AND DTINIVGPREC <= date('now','localtime')")


def fail(message):
    sys.stderr.write(f"desktop_keyboard: {message}\n")
    sys.exit(1)


def step(what):
    sys.stderr.write(f"desktop_keyboard: {what}\n")


def wait_until(what, condition):
    """Polls `condition` until it gives something true; fails naming `what` at the deadline."""
    end = time.monotonic() + DEADLINE
    while time.monotonic() < end:
        value = condition()
        if value:
            return value
        time.sleep(0.02)
    fail("gave up waiting for " + what)


def xdo(*args):
    done = subprocess.run(["xdotool", *args], capture_output=True, text=True)
    return done.stdout.split() if done.returncode == 0 else []


def key(*keys):
    subprocess.run(["xdotool", "key", "--delay", "30", *keys], check=True)


def type_text(text):
    subprocess.run(["xdotool", "type", "--delay", "30", text], check=True)


def visible(title):
    return xdo("search", "--onlyvisible", "--name", f"^{re.escape(title)}$")


class Server:
    """`vnd42400 serve` on a free port; its log lines (one per call) are kept as they come."""

    def __init__(self, vnd42400, db):
        self.proc = subprocess.Popen([vnd42400, "serve", "--db", db, "--listen", "127.0.0.1:0"],
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        m = re.match(r"listening on (.+):(\d+)", self.proc.stdout.readline())
        if not m:
            self.proc.kill()
            fail("the server printed no 'listening on' line: " + self.proc.stderr.read())
        self.port = int(m.group(2))
        self.lines = []
        self.seen = {}  # method -> calls already waited for
        self.changed = threading.Condition()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.proc.stderr:
            with self.changed:
                self.lines.append(line)
                self.changed.notify_all()

    def await_call(self, method):
        """Waits for the next call of `method` to be answered, and fails unless it went ok."""
        wanted = self.seen.get(method, 0) + 1
        pattern = re.compile(rf" {method} \S+ ms (\S+)")
        with self.changed:
            if not self.changed.wait_for(
                    lambda: len([l for l in self.lines if pattern.search(l)]) >= wanted, DEADLINE):
                fail(f"no call {wanted} of {method}; server log:\n" + "".join(self.lines))
            line = [l for l in self.lines if pattern.search(l)][wanted - 1]
        self.seen[method] = wanted
        if pattern.search(line).group(1) != "ok":
            fail("a call went wrong: " + line)

    def stop(self):
        self.proc.terminate()
        self.proc.wait(timeout=DEADLINE)


class Desktop:
    """The desktop host and what its windows show."""

    def __init__(self, host, server, work):
        env = dict(os.environ, QT_QPA_PLATFORM="xcb")
        if "XDG_RUNTIME_DIR" not in env:
            env["XDG_RUNTIME_DIR"] = tempfile.mkdtemp(prefix="vnd-xdg-")
        # What the system libraries under Qt keep for the life of the process (the session
        # bus connection, the font configuration) is no leak of ours, in a sanitizer build.
        suppressions = os.path.join(work, "lsan.supp")
        with open(suppressions, "w") as f:
            f.write("leak:libdbus-1.so\nleak:libfontconfig.so\n")
        env["LSAN_OPTIONS"] = f"suppressions={suppressions}:print_suppressions=0"
        self.server = server
        self.proc = subprocess.Popen([host, "--open", "--set", f"server_port={server.port}"],
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                                     env=env)
        self.main = wait_until("the main window", lambda: visible(MAIN_TITLE))[0]

    def focus_main(self):
        # With no window manager, nothing gives the main window the keyboard back when a
        # dialog closes; this is what a window manager would do.
        subprocess.run(["xdotool", "windowfocus", "--sync", self.main], check=True)

    def idle(self):
        """Waits until no call runs (the main window's title says none is awaited)."""
        wait_until("the end of the wait for the server",
                   lambda: "Aguardando" not in " ".join(xdo("getwindowname", self.main)))

    def press(self, keys, calls=()):
        """Presses `keys`, then waits for each call they make and for the screen to be free."""
        key(*keys)
        for method in calls:
            self.server.await_call(method)
        self.idle()

    def type(self, text, calls=()):
        type_text(text)
        for method in calls:
            self.server.await_call(method)
        self.idle()

    def dialog(self, title):
        """Waits for a dialog other than the main window titled `title` and gives it the
        keyboard, as a window manager would; its id."""
        shown = wait_until(f"a window titled {title!r}",
                           lambda: [w for w in visible(title) if w != self.main])[0]
        subprocess.run(["xdotool", "windowfocus", "--sync", shown], check=True)
        return shown

    def answer(self, title, keys, calls=(), back_to_main=True):
        """Answers the dialog titled `title` with `keys` and waits for the calls that follow;
        then the main window has the keyboard again, unless another box is to come."""
        shown = self.dialog(title)
        step(f"answering {title!r} with {' '.join(keys)}")
        key(*keys)
        wait_until(f"the window {title!r} to close", lambda: shown not in visible(title))
        for method in calls:
            self.server.await_call(method)
        if back_to_main:
            self.focus_main()
        self.idle()

    def quit(self):
        self.focus_main()
        key("alt+a", "Return")  # Arquivo, Sair
        try:
            self.proc.wait(timeout=DEADLINE)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            fail("the host did not end on Arquivo > Sair")
        errors = self.proc.stderr.read()
        if self.proc.returncode != 0 or "Sanitizer" in errors or "runtime error" in errors:
            fail(f"the host exited {self.proc.returncode}: {errors}")


def promoted(db, validity):
    with sqlite3.connect(db) as c:
        return [r[0] for r in c.execute(
            "SELECT CDPRODUTO FROM ITEMPRECO WHERE CDFILIAL='0001' AND CDTABEPREC='001' AND "
            "DTINIVGPREC=? AND IDPROMOCAO='S' ORDER BY 1", (validity,))]


def fill_header(desktop, typed_date):
    """From the branch, where the screen opens: the price table and the validity start."""
    desktop.press(["Tab"], ["GetFilial"])
    desktop.type("001")
    desktop.press(["Tab"], ["GetTabePrec"])
    desktop.type(typed_date)


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--vnd42400", required=True)
    p.add_argument("--host", required=True)
    a = p.parse_args()
    if not os.environ.get("DISPLAY"):
        fail("needs an X display (run it through xvfb-run)")

    work = tempfile.mkdtemp(prefix="vnd-desktop-")
    db = os.path.join(work, "demo.db")
    made = subprocess.run([a.vnd42400, "demo", "--db", db, "--products", "200"],
                          capture_output=True, text=True)
    if made.returncode != 0:
        fail(made.stderr)
    with sqlite3.connect(db) as c:
        validity = c.execute(VALIDITY).fetchone()[0]
        c.execute("UPDATE ITEMPRECO SET IDPROMOCAO = 'N'")
        # Outside every selection below: it must stay as it is.
        c.execute("UPDATE ITEMPRECO SET IDPROMOCAO = 'S' WHERE CDPRODUTO = 'PRD0000150'")
    typed_date = validity[8:10] + validity[5:7] + validity[0:4]  # the mask adds the "/"

    server = Server(a.vnd42400, db)
    desktop = None
    try:
        desktop = Desktop(a.host, server, work)
        server.await_call("attach")
        desktop.focus_main()
        desktop.idle()

        # "Lista": Down from "Todos" checks it, F2 offers the items; the filter typed without
        # accents finds the coffees, Tab reaches the rows, Space marks two, Enter confirms.
        fill_header(desktop, typed_date)
        desktop.press(["Tab"], ["getVigencia"])
        desktop.press(["Down"])
        key("F2")
        server.await_call("GetAutItemPreco")
        desktop.dialog("Produto")
        type_text("cafe")
        desktop.answer("Produto", ["Tab", "space", "Down", "space", "Return"])
        # F10 confirms: the header is checked again, the question answered Yes, then the news.
        key("F10")
        desktop.answer(MAIN_TITLE, ["Return"],
                       ["GetFilial", "GetTabePrec", "getVigencia", "SetUpdItemPrecoAlt"],
                       back_to_main=False)
        desktop.answer(MAIN_TITLE, ["Return"])
        got = promoted(db, validity)
        if got != ["PRD0000001", "PRD0000013", "PRD0000150"]:
            fail(f"after the list, the promoted products are {got}")

        # The menu opens the screen again: Telas, its one entry.
        key("alt+t", "Return")
        server.await_call("attach")
        desktop.idle()
        fill_header(desktop, typed_date)
        # The user leaves the validity and types on while the server is held: Home, "99" and
        # Down must be dropped -- landing in the validity they would make it "99/..", landing
        # on "Todos" the arrow would check "Lista" -- or what follows goes astray.
        server.proc.send_signal(signal.SIGSTOP)
        key("Tab")
        wait_until("the wait for the server to show",
                   lambda: "Aguardando" in " ".join(xdo("getwindowname", desktop.main)))
        key("Home", "9", "9", "Down")
        server.proc.send_signal(signal.SIGCONT)
        server.await_call("getVigencia")
        desktop.idle()
        # Up from "Todos" goes round the product block to "Intervalo"; Down enters the range.
        desktop.press(["Up", "Down"])
        desktop.type("01000001")
        desktop.press(["Tab"], ["GetProdValid"])
        # F2 in the last product offers the items; the filter picks one by its code.
        key("F2")
        server.await_call("GetAutItemPreco")
        desktop.dialog("Produto")
        type_text("02.01.0001")
        desktop.answer("Produto", ["Return"])
        desktop.press(["Tab"], ["GetProdValid"])
        # Down in the promotion choice: take the range out of the promotion.
        desktop.press(["Down"])
        key("F10")
        desktop.answer(MAIN_TITLE, ["Return"],
                       ["GetFilial", "GetTabePrec", "getVigencia", "GetProdValid",
                        "GetProdValid", "SetUpdItemPrecoAlt"], back_to_main=False)
        desktop.answer(MAIN_TITLE, ["Return"])
        got = promoted(db, validity)
        if got != ["PRD0000150"]:
            fail(f"after the range, the promoted products are {got}")

        desktop.quit()
        desktop = None
        server.stop()
    finally:
        if desktop is not None and desktop.proc.poll() is None:
            desktop.proc.kill()
        if server.proc.poll() is None:
            server.proc.send_signal(signal.SIGCONT)
            server.proc.kill()
    print("desktop_keyboard: passed")


if __name__ == "__main__":
    main()
