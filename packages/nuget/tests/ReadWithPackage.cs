// The package's client class in a program of its own, as an integrator's
// project compiles it; the end-to-end tests build it from the package.
//
//     ReadWithPackage MODE [--code-page N] [--bitness auto|x64|x86] [--text utf8|ansi]
//                     [--fields id,modified] [--time-limit SECONDS] [--diagnostics true]
//                     -- PREFIX...
//
// MODE: "export" reads the export whole, "stream" as it arrives, "first"
// leaves the stream after its first record, "twice" reads it whole two
// times, "status" asks for Outlook's version. Records are
// printed as canonical JSON, one a line, then the build that ran. A failure
// prints its kind and details on standard error (with --diagnostics, then
// the exporter's own standard error) and exits with 3.
using System;
using System.Collections.Generic;
using System.Globalization;
using System.Linq;
using ContactExporter;

namespace ContactExporter.PackageTests
{
    internal static class ReadWithPackage
    {
        private static int Main(string[] args)
        {
            string mode = args[0];
            int separator = Array.IndexOf(args, "--");
            var options = new ContactExporterOptions { CommandPrefix = args.Skip(separator + 1).ToList() };
            for (int at = 1; at < separator; at += 2)
            {
                if (args[at] == "--code-page") options.CodePage = int.Parse(args[at + 1], CultureInfo.InvariantCulture);
                if (args[at] == "--bitness") options.Bitness = (Bitness)Enum.Parse(typeof(Bitness), args[at + 1], true);
                if (args[at] == "--text") options.Text = (RecordText)Enum.Parse(typeof(RecordText), args[at + 1], true);
                if (args[at] == "--fields")
                {
                    options.Fields = (RecordFields)Enum.Parse(typeof(RecordFields), args[at + 1], true);
                }
                if (args[at] == "--time-limit")
                {
                    options.TimeLimit = TimeSpan.FromSeconds(double.Parse(args[at + 1], CultureInfo.InvariantCulture));
                }
                if (args[at] == "--diagnostics") options.Diagnostics = bool.Parse(args[at + 1]);
            }
            var client = new ContactExporterClient(options);
            try
            {
                Run(mode, client);
                return 0;
            }
            catch (ContactExporterException error)
            {
                Console.Error.WriteLine("{0} ({1} records read, exit code {2}, {3}): {4}", error.Kind, error.RecordsRead,
                                        error.ExitCode, error.Bitness, error.Message);
                if (options.Diagnostics) Console.Error.Write(error.StandardError);
                return 3;
            }
        }

        private static void Run(string mode, ContactExporterClient client)
        {
            switch (mode)
            {
                case "status":
                    Console.WriteLine(client.OutlookVersion());
                    break;
                case "stream":
                    ContactStream stream = client.StreamContacts();
                    foreach (Contact contact in stream) Print(contact);
                    Console.WriteLine("{0} of {1} items, {2}", stream.End.Written, stream.End.Items, stream.End.Bitness);
                    break;
                case "first":
                    foreach (Contact contact in client.StreamContacts())
                    {
                        Print(contact);
                        break;
                    }
                    Console.WriteLine("left the stream");
                    break;
                case "twice":
                    PrintExport(client.ReadContactsAsync().Result);
                    PrintExport(client.ReadContacts());
                    break;
                default:
                    PrintExport(client.ReadContacts());
                    break;
            }
        }

        private static void PrintExport(ContactExport export)
        {
            foreach (Contact contact in export.Contacts) Print(contact);
            Console.WriteLine("{0} of {1} items, {2}", export.Written, export.Items, export.Bitness);
        }

        private static void Print(Contact contact)
        {
            Console.Out.Write(contact.ToJson() + "\n");
            Console.Out.Flush();
        }
    }
}
