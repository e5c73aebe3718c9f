// How the exporter is run.
using System;
using System.Collections.Generic;

namespace ContactExporter
{
    /// <summary>Which build of the exporter runs. It must match Outlook's bitness, not Windows'.</summary>
    internal enum Bitness
    {
        /// <summary>
        /// The machine's bitness first; when that build answers as a build of the wrong bitness
        /// does, the other one, once. The build that worked is remembered for the process.
        /// </summary>
        Auto,
        X64,
        X86,
    }

    internal sealed class ContactExporterOptions
    {
        public ContactExporterOptions()
        {
            TimeLimit = TimeSpan.FromMinutes(10);
            Bitness = Bitness.Auto;
            CommandPrefix = new string[0];
            ExecutableFolder = AppDomain.CurrentDomain.BaseDirectory;
        }

        /// <summary>
        /// How long the exporter may take, to its exit and the end of its output (Outlook can wait on
        /// a dialog). Reading what it wrote in time may take longer. Default ten minutes.
        /// </summary>
        public TimeSpan TimeLimit { get; set; }

        public Bitness Bitness { get; set; }

        /// <summary>
        /// Sets CONTACT_EXPORTER_DIAGNOSTICS=1: the exporter explains on standard error why a run or
        /// a walk ended early.
        /// </summary>
        public bool Diagnostics { get; set; }

        /// <summary>The records' Windows code page; 0 (the default): the machine's ANSI code page.</summary>
        public int CodePage { get; set; }

        /// <summary>
        /// A program and its arguments that runs the executable: the executable's path and
        /// arguments follow them (a launcher, or Wine).
        /// </summary>
        public IList<string> CommandPrefix { get; set; }

        /// <summary>
        /// The folder holding x64\contact-exporter.exe and x86\contact-exporter.exe; by default the
        /// application's own, where the package's build step copies them.
        /// </summary>
        public string ExecutableFolder { get; set; }

        /// <summary>
        /// One executable to run whatever the bitness, instead of those of
        /// <see cref="ExecutableFolder"/>; null by default.
        /// </summary>
        public string ExecutablePath { get; set; }
    }
}
