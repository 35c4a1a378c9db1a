"""Builds the cfgso package with CMake: the native module and the two libraries it loads, which the
package carries beside it (found through $ORIGIN), with the catalog and the type stub. Only those
targets are built; set CFGSO_CMAKE_ARGS for more CMake options."""

import os
import shlex
import shutil
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = Path(__file__).resolve().parent


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        package = Path(self.get_ext_fullpath(ext.name)).resolve().parent
        # One CMake folder beside the sources, at the depth of build/: with the same options (see
        # CFGSO_CMAKE_ARGS), ccache then serves this build the objects an earlier CMake build compiled.
        build = ROOT / "build-python"
        args = [
            "-S", str(ROOT), "-B", str(build), "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
            "-DKRO_BUILD_TESTS=OFF", "-DKRO_BUILD_TOOLS=OFF", "-DKRO_BUILD_BENCH=OFF", "-DKRO_INSTALL=OFF",
            "-DKRO_WERROR=OFF", "-DKRO_PYTHON_BUNDLE=ON", "-DPython3_EXECUTABLE=" + sys.executable,
        ]
        if shutil.which("ccache"):
            args.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
        args += shlex.split(os.environ.get("CFGSO_CMAKE_ARGS", ""))
        # Compiles go through ccache with paths relative to the checkout, so that rebuilds in a fresh
        # clone or a fresh temporary folder reuse what was compiled before.
        env = dict(os.environ)
        env.setdefault("CCACHE_BASEDIR", str(ROOT))
        env.setdefault("CCACHE_NOHASHDIR", "true")
        # pip shows this, and CMake's progress lines, with -v; without it pip stays quiet until the end.
        print("cfgso: building the module and the two libraries with CMake in %s "
              "(a cold build takes a few minutes)" % build, flush=True)
        subprocess.run(["cmake", *args], check=True, env=env)
        # One progress line per step, flushed as each ends, whether or not pip's output is a terminal.
        env.setdefault("NINJA_STATUS", "cfgso [%f/%t] ")
        subprocess.run(["cmake", "--build", str(build), "--target", "cfgso_python"], check=True, env=env)
        built = build / "python" / "cfgso"
        package.mkdir(parents=True, exist_ok=True)
        for item in built.iterdir():
            if item.suffix != ".py" and item.is_file():
                shutil.copy2(item, package / item.name)


setup(
    ext_modules=[Extension("cfgso._cfgso", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
    options={"build": {"build_base": "build-python/setuptools"}},
)
