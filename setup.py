"""Builds the extension module through the project's CMake build.

Besides the compiled module, the wheel carries the type stub twice, from the
one source file src/python/tourwright.pyi:

- ``tourwright.pyi`` next to the extension, where IDEs and most type checkers
  look for a module's stub;
- ``tourwright-stubs/__init__.pyi``, a stub-only package in the sense of
  PEP 561. PEP 561 has no typed marker for a single-file module, and mypy
  ignores a bare ``.pyi`` in site-packages, but it does read ``<name>-stubs``.
"""

import shutil
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = Path(__file__).resolve().parent
STUB = ROOT / "src" / "python" / "tourwright.pyi"


class CMakeExtension(Extension):
    def __init__(self, name: str) -> None:
        super().__init__(name, sources=[])


class CMakeBuild(build_ext):
    def build_extension(self, ext: Extension) -> None:
        output_dir = Path(self.get_ext_fullpath(ext.name)).resolve().parent
        build_dir = Path(self.build_temp).resolve() / "cmake"
        configure = [
            "cmake", "-S", str(ROOT), "-B", str(build_dir),
            "-DCMAKE_BUILD_TYPE=Release",
            f"-DPython3_EXECUTABLE={sys.executable}",
            "-DTOURWRIGHT_BUILD_TESTS=OFF",
            "-DTOURWRIGHT_BUILD_BENCHMARKS=OFF",
            f"-DCMAKE_LIBRARY_OUTPUT_DIRECTORY={output_dir}",
        ]
        if shutil.which("ninja"):
            configure += ["-G", "Ninja"]
        subprocess.run(configure, check=True)
        subprocess.run(["cmake", "--build", str(build_dir), "--target", "tourwright"], check=True)
        self.copy_stub(output_dir)

    def copy_stub(self, output_dir: Path) -> None:
        stub_package = output_dir / "tourwright-stubs"
        stub_package.mkdir(parents=True, exist_ok=True)
        for target in (output_dir / "tourwright.pyi", stub_package / "__init__.pyi"):
            shutil.copyfile(STUB, target)


setup(ext_modules=[CMakeExtension("tourwright")], cmdclass={"build_ext": CMakeBuild})
