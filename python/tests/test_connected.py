"""Two processes connected to one cfgso-server: what the first records, the second binds, also after
the server was killed and restarted on the same database; while it is down the binds fail with its
code at once."""
import os
import pathlib
import subprocess
import sys

import pytest

import cfgso

SERVER = os.environ.get("CFGSO_SERVER", "")
HERE = pathlib.Path(__file__).resolve().parent
EXAMPLES = HERE.parents[1] / "examples"
SCENARIO = HERE / "connected_scenario.py"
UNAVAILABLE = 0x80040220

pytestmark = pytest.mark.skipif(not SERVER, reason="cfgso-server is not built")


class Server:
    """A cfgso-server of the test's own on a Unix socket: restarted, it answers at the same address."""

    def __init__(self, folder):
        self.db = folder / "cfg.db"
        self.endpoint = "giop:unix:%s" % (folder / "cfg.sock")
        self.process = None
        self.address = None

    def start(self):
        self.process = subprocess.Popen([SERVER, "--db", str(self.db), "--endpoint", self.endpoint],
                                        stdout=subprocess.PIPE, text=True)
        self.address = self.process.stdout.readline().strip()
        assert self.address.startswith("corbaloc:"), self.address
        return self

    def kill(self):
        self.process.kill()
        self.process.wait()


@pytest.fixture
def server(tmp_path):
    s = Server(tmp_path).start()
    yield s
    if s.process.poll() is None:
        s.process.terminate()
        s.process.wait()


def run(*arguments, env=None):
    return subprocess.run([sys.executable, *map(str, arguments)], capture_output=True, text=True, timeout=60,
                          env={**os.environ, **(env or {})})


def test_records_written_by_one_process_bind_in_another(server, tmp_path):
    path = tmp_path / "pt.kro"
    written = run(SCENARIO, "--server", server.address, "write", path)
    assert written.returncode == 0, written.stderr
    assert "specification ENGINE-V6 (V6 engine, V6, Engine/Engines)" in written.stdout
    assert "actions Release 2024, Homologation" in written.stdout
    assert "filter FLT-PT Powertrain Powertrain line mode 2 mode150 True" in written.stdout
    # A fresh process, connected through the variable this time.
    read = run(SCENARIO, "read", path, env={"KRO_CONFIG_SERVER": server.address})
    assert read.returncode == 0, read.stderr
    assert read.stdout == written.stdout

    # Killed: the binds fail with the server's code, and nothing crashes.
    server.kill()
    down = run(SCENARIO, "read", path, env={"KRO_CONFIG_SERVER": server.address})
    assert down.returncode == 1
    assert "cfgso.Error: getSpecification failed: 0x80040220" in down.stderr
    # Restarted on the same database: they bind again.
    server.start()
    back = run(SCENARIO, "read", path, env={"KRO_CONFIG_SERVER": server.address})
    assert back.returncode == 0, back.stderr
    assert back.stdout == written.stdout


def test_powertrain_example_binds_through_the_server(server, tmp_path):
    path = tmp_path / "powertrain.kro"
    saved = run(EXAMPLES / "powertrain.py", "--server", server.address, "save", path)
    assert saved.returncode == 0, saved.stderr
    shown = run(EXAMPLES / "powertrain.py", "--server", server.address, "show", path)
    assert shown.returncode == 0, shown.stderr
    assert shown.stdout == saved.stdout
    assert "  bound: modification MOD-PT-2024, actions Release 2024" in shown.stdout
    assert "  bound: Powertrain over ENGINE-V6, GEARBOX-AUTO" in shown.stdout


def test_connect_where_no_server_answers_names_the_address(server):
    server.kill()
    check = run("-c", "import cfgso\ntry:\n    cfgso.connect(%r)\nexcept cfgso.Error as e:\n"
                "    print(hex(e.hresult & 0xFFFFFFFF), e)" % server.address)
    assert check.returncode == 0, check.stderr
    assert check.stdout.startswith(hex(UNAVAILABLE))
    assert "cannot connect to " + server.address in check.stdout
