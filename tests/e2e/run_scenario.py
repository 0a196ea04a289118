#!/usr/bin/env python3
"""Runs one end-to-end scenario: a fresh demo database, a real `vnd42400 serve` on a free
port, and `vnd-host --headless` driven by the scenario's commands.

A scenario is a text file, one item per line:

    # a comment                    ignored, as are blank lines
    engine postgres                the database on PostgreSQL (a database of its own on the
                                   cluster of VND_PG_ADMIN_URI, see scripts/with-postgres)
                                   rather than a SQLite file; first in the scenario
    serve ARGS                     more arguments for `vnd42400 serve` (before the first
                                   driver command)
    session KEY=VALUE              a --set for the driver (before its first command)
    let NAME = SQL                 NAME takes the first value of SQL's first row, now;
                                   ${NAME} is replaced by it in every later line
    today ${NAME}                  the driver's --today (ISO date; before its first command)
    <driver command>               sent to the driver; its reply is kept, and unless a
                                   "=>" line follows it must be ok with no exception
    => JSON                        the last reply must match JSON (below)
    sql SQL => JSON                SQL's rows (a list of lists) must match JSON
    server stop                    stops the server (SIGTERM) and waits for it
    account NAME PASSWORD ARGS     `vnd42400 user add --user NAME` with that password and ARGS
                                   (--right, --branch, --all-branches), before the server starts
    tls                            the server speaks TLS with a self-signed certificate for
                                   localhost, which the driver's session trusts
    password PASSWORD              the driver's --password-file holds PASSWORD
    relogin USER PASSWORD          the driver so far quits as a user would; the next command
                                   starts a new one as USER (session user) with PASSWORD
    hold SQL                       PostgreSQL: another session begins a transaction and runs
                                   SQL (e.g. SELECT ... FOR UPDATE), holding its locks ...
    release                        ... until here, where it rolls back

SQL is the engine's own; PostgreSQL gives every value as text.

Matching: an object matches when each of its keys matches in the reply (other keys are
free); a list matches a list of the same length element by element; a string starting
with "~" matches a string containing the rest; anything else must be equal.
"""
import argparse
import json
import os
import re
import sqlite3
import subprocess
import sys
import tempfile
import time

DEADLINE = 180


def fail(where, message):
    sys.stderr.write(f"{where}: {message}\n")
    sys.exit(1)


def matches(expected, actual):
    if isinstance(expected, dict):
        return isinstance(actual, dict) and all(
            k in actual and matches(v, actual[k]) for k, v in expected.items())
    if isinstance(expected, list):
        return (isinstance(actual, list) and len(expected) == len(actual)
                and all(matches(e, a) for e, a in zip(expected, actual)))
    if isinstance(expected, str) and expected.startswith("~"):
        return isinstance(actual, str) and expected[1:] in actual
    return expected == actual


class Database:
    """The scenario's demo database: a SQLite file in `work`, or a PostgreSQL database of its
    own, dropped at the end."""

    def __init__(self, engine, work):
        self.engine = engine
        if engine == "sqlite":
            self.target = os.path.join(work, "demo.db")
            return
        admin = os.environ.get("VND_PG_ADMIN_URI")
        if not admin:
            fail("engine", "VND_PG_ADMIN_URI is not set: run under scripts/with-postgres")
        self.admin = admin
        self.name = f"vnd_e2e_{os.getpid()}"
        self.psql(admin, f"CREATE DATABASE {self.name}")
        self.target = admin[:admin.rindex("/") + 1] + self.name

    @staticmethod
    def psql(uri, sql):
        done = subprocess.run(["psql", "-X", "-q", "-A", "-t", "-F", "\x1f", "-v",
                               "ON_ERROR_STOP=1", "-d", uri, "-c", sql],
                              capture_output=True, text=True)
        if done.returncode != 0:
            fail("psql", done.stderr)
        return [line.split("\x1f") for line in done.stdout.splitlines()]

    def rows(self, sql):
        if self.engine == "sqlite":
            with sqlite3.connect(self.target) as c:
                return [list(r) for r in c.execute(sql).fetchall()]
        return self.psql(self.target, sql)

    def drop(self):
        if self.engine != "sqlite":
            self.psql(self.admin, f"DROP DATABASE IF EXISTS {self.name} WITH (FORCE)")


class Holder:
    """Another PostgreSQL session holding the locks of an open transaction."""

    def __init__(self, db, sql):
        if db.engine == "sqlite":
            fail("hold", "SQLite has one lock for the whole file: hold needs engine postgres")
        self.proc = subprocess.Popen(["psql", "-X", "-q", "-A", "-t", "-v", "ON_ERROR_STOP=1",
                                      "-d", db.target], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, text=True)
        self.proc.stdin.write(f"BEGIN;\n{sql};\n\\echo held\n")
        self.proc.stdin.flush()
        for line in self.proc.stdout:
            if line.strip() == "held":
                return
        fail("hold", "the session ended before holding its locks")

    def release(self):
        self.proc.stdin.write("ROLLBACK;\n")
        self.proc.stdin.close()
        self.proc.wait(timeout=DEADLINE)


class Server:
    def __init__(self, vnd42400, db, extra):
        self.proc = subprocess.Popen(
            [vnd42400, "serve", "--db", db, "--listen", "127.0.0.1:0"] + extra,
            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        line = self.proc.stdout.readline()
        m = re.match(r"listening on (.+):(\d+)", line)
        if not m:
            self.proc.kill()
            fail("server", "no 'listening on' line: " + line + self.proc.stderr.read())
        self.port = int(m.group(2))

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(timeout=DEADLINE)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                fail("server", "did not stop on SIGTERM")
        if self.proc.returncode != 0:
            fail("server", f"exited {self.proc.returncode}: " + self.proc.stderr.read())


class Driver:
    def __init__(self, host, module, port, settings, today, extra=()):
        args = [host, "--headless", "--set", f"server_port={port}", *extra]
        for s in settings:
            args += ["--set", s]
        if module:
            args += ["--module", module]
        if today:
            args += ["--today", today]
        self.proc = subprocess.Popen(args, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE, text=True, encoding="utf-8")

    def send(self, command):
        self.proc.stdin.write(command + "\n")
        self.proc.stdin.flush()
        line = self.proc.stdout.readline()
        if not line:
            fail("driver", f"no reply to {command!r}: " + self.proc.stderr.read())
        return json.loads(line)

    def close(self):
        if self.proc.poll() is None:
            self.proc.stdin.close()
            try:
                self.proc.wait(timeout=DEADLINE)
            except subprocess.TimeoutExpired:
                self.proc.kill()

    def quit(self):
        """Ends the driver as a user would; it must say ok, exit 0 and complain of nothing."""
        reply = self.send("quit")
        if reply.get("ok") is not True:
            fail("driver", f"quit replied {reply}")
        try:
            self.proc.wait(timeout=DEADLINE)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            fail("driver", "did not exit after quit")
        errors = self.proc.stderr.read()
        if self.proc.returncode != 0 or errors:
            fail("driver", f"exited {self.proc.returncode} after quit: {errors}")


def checked_later(lines, number):
    """Whether the line after `number` (1-based), skipping blanks and comments, is "=>"."""
    for raw in lines[number:]:
        line = raw.strip()
        if line and not line.startswith("#"):
            return line.startswith("=>")
    return False


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--vnd42400", required=True)
    p.add_argument("--host", required=True)
    p.add_argument("--module")
    p.add_argument("--products", default="200")
    p.add_argument("--engine", choices=["sqlite", "postgres"],
                   help="the engine, whatever the scenario's first line says")
    p.add_argument("scenario")
    a = p.parse_args()

    work = tempfile.mkdtemp(prefix="vnd-e2e-")
    with open(a.scenario, encoding="utf-8") as f:
        lines = f.read().splitlines()
    first = next((l.strip() for l in lines if l.strip() and not l.strip().startswith("#")), "")
    engine = a.engine or ("postgres" if first == "engine postgres" else "sqlite")
    db = Database(engine, work)
    made = subprocess.run([a.vnd42400, "demo", "--db", db.target, "--products", a.products],
                          capture_output=True, text=True)
    if made.returncode != 0:
        fail("demo", made.stderr)
    server = driver = holder = None
    settings, serve, today, names, reply = [], [], None, {}, None
    driver_args = []
    scripts = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts")

    def secret(name, text):
        path = os.path.join(work, name)
        with open(path, "w", encoding="utf-8") as f:
            f.write(text + "\n")
        os.chmod(path, 0o600)
        return path
    try:
        for number, raw in enumerate(lines, 1):
            where = f"{os.path.basename(a.scenario)}:{number}"
            line = re.sub(r"\$\{(\w+)\}", lambda m: str(names[m.group(1)]), raw).strip()
            if not line or line.startswith("#") or line.startswith("engine "):
                continue
            if line.startswith("serve "):
                serve += line[len("serve "):].split()
            elif line.startswith("session "):
                settings.append(line[len("session "):].strip())
            elif line.startswith("today "):
                today = line[len("today "):].strip()
            elif line.startswith("let "):
                name, sql = line[len("let "):].split("=", 1)
                rows = db.rows(sql)
                if not rows:
                    fail(where, "no row for " + sql)
                names[name.strip()] = rows[0][0]
            elif line.startswith("=>"):
                expected = json.loads(line[2:])
                if not matches(expected, reply):
                    fail(where, f"reply {json.dumps(reply, ensure_ascii=False)}\n"
                                f"does not match {json.dumps(expected, ensure_ascii=False)}")
            elif line.startswith("sql "):
                sql, expected = line[len("sql "):].split("=>", 1)
                rows = db.rows(sql)
                if not matches(json.loads(expected), rows):
                    fail(where, f"{sql.strip()} gave {rows}, expected {expected.strip()}")
            elif line.startswith("account "):
                name, password, *rest = line[len("account "):].split()
                added = subprocess.run(
                    [a.vnd42400, "user", "add", "--db", db.target, "--user", name,
                     "--password-file", secret("senha-" + name, password), *rest],
                    capture_output=True, text=True)
                if added.returncode != 0:
                    fail(where, added.stderr)
            elif line == "tls":
                subprocess.run([os.path.join(scripts, "make-tls-cert"), "localhost", work],
                               check=True, capture_output=True)
                serve += ["--tls-cert", os.path.join(work, "vnd42400.crt"),
                          "--tls-key", os.path.join(work, "vnd42400.key")]
                settings += ["server_tls=true", "server_host=localhost",
                             "server_ca=" + os.path.join(work, "vnd42400.crt")]
            elif line.startswith("password "):
                driver_args = ["--password-file",
                               secret("senha-driver", line[len("password "):].strip())]
            elif line.startswith("relogin "):
                user, password = line[len("relogin "):].split()
                if driver is not None:
                    driver.quit()
                    driver = None
                settings = [s for s in settings if not s.startswith("user=")] + ["user=" + user]
                driver_args = ["--password-file", secret("senha-driver-" + user, password)]
            elif line.startswith("hold "):
                holder = Holder(db, line[len("hold "):])
            elif line == "release":
                holder.release()
                holder = None
            else:
                if server is None:
                    server = Server(a.vnd42400, db.target, serve)
                if line == "server stop":
                    server.stop()
                    continue
                if driver is None:
                    driver = Driver(a.host, a.module, server.port, settings, today, driver_args)
                reply = driver.send(line)
                if not checked_later(lines, number) and (
                        reply.get("ok") is not True or reply.get("exception") is not None):
                    fail(where, f"{line!r} went wrong, and nothing says it should: "
                                f"{json.dumps(reply, ensure_ascii=False)}")
        if driver is not None:
            driver.quit()
        if server is not None:
            server.stop()
    finally:
        if holder is not None:
            holder.release()
        if driver is not None:
            driver.close()
        if server is not None and server.proc.poll() is None:
            server.proc.kill()
        db.drop()
    print(f"{os.path.basename(a.scenario)}: passed")


if __name__ == "__main__":
    main()
